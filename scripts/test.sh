#!/usr/bin/env bash
# Sets up the machine, checks the formatting, builds with warnings as errors and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
TARVO_WERROR=${TARVO_WERROR:-ON} bash scripts/build.sh
build_dir=${TARVO_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
ctest --output-on-failure -j "${TARVO_JOBS:-$(nproc)}" --timeout 600 "$@"

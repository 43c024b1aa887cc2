#!/usr/bin/env bash
# Sets up the machine, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build_dir=${TARVO_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
ctest --output-on-failure -j "${TARVO_JOBS:-$(nproc)}" --timeout 600 "$@"

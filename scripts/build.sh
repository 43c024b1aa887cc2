#!/usr/bin/env bash
# Configures and builds everything into build/ (or $TARVO_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${TARVO_BUILD_DIR:-build}
jobs=${TARVO_JOBS:-$(nproc)}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${TARVO_BUILD_TYPE:-RelWithDebInfo} \
  -DTARVO_WERROR=${TARVO_WERROR:-OFF} "$@" >/dev/null
cmake --build "$build_dir" -j "$jobs"

#!/usr/bin/env bash
# Sets up the machine, builds, makes the demo recordings once and shows them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build_dir=${TARVO_BUILD_DIR:-build}
demo_dir=${TARVO_DEMO_DIR:-demo}
if [ -x scripts/make-demo.sh ]; then
  bash scripts/make-demo.sh "$build_dir/bin/tarvo-tool" "$demo_dir"
fi
if [ -x "$build_dir/bin/tarvo-viewer" ]; then
  exec "$build_dir/bin/tarvo-viewer" "$demo_dir" "$@"
fi
exec "$build_dir/bin/tarvo-tool" list "$demo_dir"

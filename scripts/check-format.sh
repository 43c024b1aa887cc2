#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' '*.c'
else
  find . -path ./build -prune -o -path './build*' -prune -o -path ./demo -prune -o \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0
fi | xargs -0 -r clang-format --dry-run -Werror
echo "check-format: every C++ file is formatted"

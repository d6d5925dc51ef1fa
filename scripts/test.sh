#!/usr/bin/env bash
# Sets VELKOR up with what the tests need and runs every test.
#   scripts/test.sh [--asan]   (--asan: the AddressSanitizer + UndefinedBehaviorSanitizer build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
setup=(--tests)
if [ "${1:-}" = "--asan" ]; then
  dir=build-asan
  setup+=(--asan)
fi
scripts/setup.sh "${setup[@]}"
cd "$dir"
ctest --output-on-failure --timeout 900 -j2

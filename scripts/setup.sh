#!/usr/bin/env bash
# Installs what VELKOR needs on Debian 12 and builds it into build/.
#   scripts/setup.sh [--tests] [--asan]
#     --tests  also the packages the tests need (rigctld, a headless X desktop, clang for fuzzing)
#     --asan   build into build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

tests=0
asan=0
for arg in "$@"; do
  case "$arg" in
  --tests) tests=1 ;;
  --asan) asan=1 ;;
  *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libhamlib-dev fonts-dejavu-core)
if [ "$tests" = 1 ]; then
  packages+=(libhamlib-utils xvfb xauth openbox tint2 xdotool x11-utils imagemagick clang libclang-rt-14-dev
             desktop-file-utils appstream man-db file)
fi

scripts/install-packages.sh "${packages[@]}"

if [ "$asan" = 1 ]; then
  dir=build-asan
  options=(-DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON -DVELKOR_WERROR=ON)
else
  dir=build
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_WERROR=ON)
fi
cmake -S . -B "$dir" -G Ninja "${options[@]}"
cmake --build "$dir"

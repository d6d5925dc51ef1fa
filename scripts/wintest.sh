#!/usr/bin/env bash
# Cross-builds VELKOR's Windows pieces with mingw-w64 into build-win/ and runs their tests under Wine, in a
# private Wine prefix inside build-win/ (installs mingw-w64 and Wine from Debian's packages first).
#   scripts/wintest.sh
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 wine64-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

dir=build-win
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_WERROR=ON
cmake --build "$dir"

# ctest makes the prefix (wineboot, about 15 s the first time), registers the stand-in servers, runs the
# tests and waits for every Wine process to end; each Wine step runs under timeout.
start=$(date +%s)
status=0
(cd "$dir" && ctest --output-on-failure) || status=$?
echo "Wine stage: $(($(date +%s) - start)) s"
exit "$status"

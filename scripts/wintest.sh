#!/usr/bin/env bash
# Cross-builds the Windows edition with mingw-w64 into build-win/ (velkor.exe and the ZIP), checks that
# velkor.exe needs no DLL but the system's, and runs the tests under Wine, in a private Wine prefix inside
# build-win/, on an X desktop of their own (installs mingw-w64, Wine, Xvfb and openbox from Debian first).
#   scripts/wintest.sh
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 wine64-tools python3 xvfb xauth openbox x11-utils)
scripts/install-packages.sh "${packages[@]}"

dir=build-win
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_WERROR=ON
cmake --build "$dir"

# One program, statically linked: nothing of mingw's or of the C++ runtime may be needed beside it.
if x86_64-w64-mingw32-objdump -p "$dir/velkor.exe" | grep -i "DLL Name" | grep -Eiv \
  "(kernel32|user32|gdi32|comctl32|msimg32|shell32|ole32|oleaut32|msvcrt|advapi32)\.dll"; then
  echo "velkor.exe needs a DLL that Windows does not have" >&2
  exit 1
fi
(cd "$dir" && cpack --config CPackConfig.cmake >/dev/null && ls -l velkor-*-win64.zip)

# ctest makes the prefix (wineboot, about 15 s the first time), registers the stand-in servers, runs the
# tests and waits for every Wine process to end; each Wine step runs under timeout.
start=$(date +%s)
status=0
(cd "$dir" && ctest --output-on-failure) || status=$?
echo "Wine stage: $(($(date +%s) - start)) s"
exit "$status"

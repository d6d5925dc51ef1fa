#!/usr/bin/env bash
# Cross-builds the Windows edition with mingw-w64, 32-bit into build-win32/ and 64-bit into build-win/ (velkor.exe
# and a ZIP each, and the installer of the 32-bit one), checks that each velkor.exe needs no DLL but the system's,
# and runs the tests under Wine, in a private Wine prefix inside build-win/, on an X desktop of their own. OmniRig
# is a 32-bit server: the 32-bit build's tests run both builds' clients and velkor.exe against a 32-bit stand-in of
# it, and install, start and uninstall the installer. Installs mingw-w64 for both, Wine with its 32-bit half
# (Debian's i386 architecture), NSIS, Xvfb and openbox from Debian first.
#   scripts/wintest.sh
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
# wine32 comes from Debian's i386 architecture; install-packages.sh updates the lists when it is missing.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine64-tools
          nsis python3 xvfb xauth openbox x11-utils)
scripts/install-packages.sh "${packages[@]}"
# Wine's 32-bit half needs the i386 lists to match the amd64 ones; a mirror caught mid-sync can leave it
# uninstallable for a while. Then everything but the 32-bit tests runs, and the run says so in its last line.
wine32=yes
scripts/install-packages.sh wine32:i386 || wine32=no

prefix=$PWD/build-win/wineprefix
configure() { # folder, toolchain, more options
  local dir=$1 toolchain=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELKOR_WERROR=ON -DVELKOR_WINE_PREFIX="$prefix" "$@"
  cmake --build "$dir"
}
configure build-win cmake/mingw-w64-x86_64.cmake
if [ "$wine32" = yes ]; then
  configure build-win32 cmake/mingw-w64-i686.cmake -DVELKOR_WIN64_BUILD_DIR="$PWD/build-win"
else
  # Its tests' stand-in is built with Wine's 32-bit type library; the program and its installer are not.
  configure build-win32 cmake/mingw-w64-i686.cmake -DVELKOR_BUILD_TESTS=OFF
fi

# One program, statically linked: nothing of mingw's or of the C++ runtime may be needed beside it.
for build in build-win:x86_64 build-win32:i686; do
  dir=${build%%:*}
  if "${build##*:}-w64-mingw32-objdump" -p "$dir/velkor.exe" | grep -i "DLL Name" | grep -Eiv \
    "(kernel32|user32|gdi32|comctl32|msimg32|shell32|ole32|oleaut32|msvcrt|advapi32)\.dll"; then
    echo "$dir/velkor.exe needs a DLL that Windows does not have" >&2
    exit 1
  fi
  (cd "$dir" && cpack --config CPackConfig.cmake >/dev/null && ls -l velkor-*.zip)
done
# The installer, beside the 32-bit ZIP: the same velkor.exe, which runs on every Windows and matches OmniRig.
cmake --build build-win32 --target installer
ls -l build-win32/velkor-*-setup.exe

# ctest makes the prefix (wineboot, about 15 s the first time), registers the stand-in servers, runs the
# tests and waits for every Wine process to end; each Wine step runs under timeout.
start=$(date +%s)
status=0
(cd build-win && ctest --output-on-failure) || status=$?
if [ "$wine32" = yes ]; then
  (cd build-win32 && ctest --output-on-failure) || status=$?
fi
echo "Wine stage: $(($(date +%s) - start)) s"
if [ "$wine32" = no ]; then
  echo "wintest: wine32:i386 could not be installed from the package lists; the 32-bit tests did NOT run" >&2
fi
exit "$status"

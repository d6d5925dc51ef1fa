#!/usr/bin/env bash
# Builds VELKOR's Debian package into build/package/ and checks it with lintian.
#   scripts/package.sh [--install-check]
#     --install-check  also installs the package with apt, starts the installed program on the Dummy rigs,
#                      and removes the package again (CI does this on its fresh machine)
set -euo pipefail
cd "$(dirname "$0")/.."
install_check=0
for arg in "$@"; do
  case "$arg" in
  --install-check) install_check=1 ;;
  *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

scripts/setup.sh
scripts/install-packages.sh dpkg-dev lintian file
sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"

rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package >/dev/null
deb=$(ls build/package/velkor_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
# lintian refuses to run as root without this; errors fail the script, warnings are shown.
lintian --allow-root --fail-on error --display-level '>=warning' "$deb"
echo "lintian: no errors"

if [ "$install_check" = 1 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "./$deb" >/dev/null
  trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -q velkor >/dev/null' EXIT
  dpkg -L velkor | grep -qx /usr/share/applications/org.example.velkor.desktop
  work=$(mktemp -d)
  # Still running after a few seconds on the Dummy rigs, as a user would see it start from the menu.
  set +e
  (cd "$work" && XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled: \
    timeout 5 /usr/bin/velkor -F "$work/VELKOR.INI" >/dev/null 2>&1)
  status=$?
  set -e
  rm -rf "$work"
  [ "$status" = 124 ] || { echo "the installed program ended by itself ($status)"; exit 1; }
  echo "installed with apt, started, removed"
fi

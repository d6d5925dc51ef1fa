#!/usr/bin/env bash
# Installs those of the given Debian packages that are not installed yet (with sudo unless root).
#   scripts/install-packages.sh package...
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ "${#missing[@]}" -gt 0 ] || exit 0
sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
# A mirror caught mid-sync fails an index now and then; what the other lists hold may still be enough.
for attempt in 1 2 3; do
  $sudo apt-get update -q && break
  [ "$attempt" = 3 ] && echo "apt-get update failed; installing from the lists there are" >&2
  sleep 5
done
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

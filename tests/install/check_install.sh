#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop gets: the program, its menu entry,
# icons, metadata and manual page, each valid by the freedesktop and AppStream tools.
#   check_install.sh <build folder> <app id>
set -euo pipefail
build="$1"
id="$2"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/velkor
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  share/man/man1/velkor.1.gz
  share/doc/velkor/copyright
  share/doc/velkor/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
  echo "installed tree differs from the expected one:"
  diff <(echo "$wanted") <(echo "$actual") || true
  exit 1
fi

[ -x "$prefix/bin/velkor" ] || { echo "bin/velkor is not executable"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    { echo "the ${size}x${size} icon is not a ${size}x${size} PNG"; exit 1; }
done
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || { echo "the menu entry names another icon"; exit 1; }
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"
warnings=$(man --warnings -l "$prefix/share/man/man1/velkor.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man page: $warnings"; exit 1; }
echo "installed tree and its desktop files are valid"

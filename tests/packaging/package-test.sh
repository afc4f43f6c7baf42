#!/usr/bin/env bash
# Builds the Debian package, checks its name, contents and dependencies, installs it with dpkg,
# checks what dpkg lists, starts the installed player under Xvfb (the end-to-end start check) and
# removes the package again. Installing needs root: without it only the package itself is checked.
set -euo pipefail
build=$1 version=$2 e2e=$3
deb="$build/tiefenflug_${version}_amd64.deb"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || fail "cpack did not produce $(basename "$deb")"

expected="/usr/bin/tiefenflug
/usr/share/applications/tiefenflug.desktop
/usr/share/icons/hicolor/16x16/apps/tiefenflug.png
/usr/share/icons/hicolor/32x32/apps/tiefenflug.png
/usr/share/icons/hicolor/48x48/apps/tiefenflug.png
/usr/share/metainfo/de.tiefenflug.tiefenflug.metainfo.xml"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort)
[ "$files" = "$expected" ] || fail "package contents differ:
$files"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libturbojpeg0 libc6 libavcodec59 libavformat59 libswscale6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: package built and checked, installation skipped"
  exit 0
fi
trap 'dpkg -r tiefenflug >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb" >/dev/null
listed=$(dpkg -L tiefenflug | while read -r f; do [ -d "$f" ] || echo "$f"; done | sort)
[ "$listed" = "$expected" ] || fail "dpkg -L lists:
$listed"

# The installed player starts and shows the start card, judged from outside like every e2e test.
TF_PLAYER=/usr/bin/tiefenflug "$e2e" --gtest_filter='StartScreen.WindowsStandAtTheirPlacesAndShowTheStartCardPixelForPixel' --gtest_brief=1
echo "package $(basename "$deb") installed, listed and started"

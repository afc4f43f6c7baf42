#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, checks its name, contents, dependencies and documents, runs lintian
# on it, installs it with dpkg, checks what dpkg lists, reads the installed manual page, starts
# the installed player under Xvfb (the end-to-end start check) and removes the package again.
# Installing needs root: without it only the package itself is checked. A fifth argument names
# the HD keyframe file when the build made one: the package carries it, too.
set -euo pipefail
build=$1 version=$2 e2e=$3 src=$4 hd=${5:-}
deb="$build/tiefenflug_${version}_amd64.deb"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -f "$deb"
built=$(cd "$build" && cpack -G DEB 2>&1) || fail "cpack: $built"
[ -f "$deb" ] || fail "cpack did not produce $(basename "$deb")"

expected="/usr/bin/tiefenflug
/usr/share/applications/tiefenflug.desktop
/usr/share/doc/tiefenflug/changelog.gz
/usr/share/doc/tiefenflug/copyright
/usr/share/icons/hicolor/16x16/apps/tiefenflug.png
/usr/share/icons/hicolor/32x32/apps/tiefenflug.png
/usr/share/icons/hicolor/48x48/apps/tiefenflug.png
/usr/share/lintian/overrides/tiefenflug
/usr/share/man/man6/tiefenflug.6.gz
/usr/share/metainfo/de.tiefenflug.tiefenflug.metainfo.xml
/usr/share/xscreensaver/config/tiefenflug.xml"
saver=/usr/share/xscreensaver/config/tiefenflug.xml
if [ -n "$hd" ]; then
  expected=$(printf '%s\n/usr/share/tiefenflug/%s\n' "$expected" "$(basename "$hd")" | sort)
fi

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort)
[ "$files" = "$expected" ] || fail "package contents differ:
$files"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libturbojpeg0 libc6 libavcodec59 libavformat59 libswscale6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
doc=$unpacked/usr/share/doc/tiefenflug

perl "$src/tests/packaging/check-copyright.pl" "$doc/copyright" ||
  fail "copyright is not in Debian's machine-readable format"
gzip -dc "$doc/changelog.gz" >"$unpacked/changelog"
newest=$(dpkg-parsechangelog -l "$unpacked/changelog" -S Version) ||
  fail "changelog.gz does not parse"
[ "$newest" = "$version" ] || fail "newest changelog entry is $newest, the package is $version"

# The manual page renders without a warning and has an entry for every option the player itself
# lists (an entry's tag stands at the page's first indent).
page=$unpacked/usr/share/man/man6/tiefenflug.6.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man reports for tiefenflug.6:
$warnings"
rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
help=$(QT_QPA_PLATFORM=offscreen "$unpacked/usr/bin/tiefenflug" --help 2>/dev/null) ||
  fail "tiefenflug --help failed"
for option in $(grep -oE '(^|[ ,])--[a-z][a-z-]*' <<<"$help" | tr -d ' ,'); do
  grep -qE "^ {7}(-[a-z?], )*$option([ ,]|\$)" <<<"$rendered" ||
    fail "tiefenflug.6 has no entry for $option"
done

if [ -n "$saver" ]; then
  module=$unpacked$saver
  xmllint --noout "$module" || fail "$saver is not well-formed"
  name=$(xmllint --xpath 'string(/screensaver/@name)' "$module")
  [ "$name" = tiefenflug ] || fail "$saver names the program \"$name\""
fi

# Lintian may pass an override only when the override file justifies it, and the file holds
# no override that no longer matches anything.
report=$(lintian --no-cfg --fail-on error,warning -I --tag-display-limit 0 "$deb" 2>&1) ||
  fail "lintian:
$report"
! grep -E '^[EWI]: tiefenflug: (unused|mismatched)-override' <<<"$report" ||
  fail "lintian overrides that match nothing:
$report"

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: package built and checked, installation skipped"
  exit 0
fi
trap 'rm -rf "$unpacked"; dpkg -r tiefenflug >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb" >/dev/null
listed=$(dpkg -L tiefenflug | while read -r f; do [ -d "$f" ] || echo "$f"; done | sort)
[ "$listed" = "$expected" ] || fail "dpkg -L lists:
$listed"

# man finds the installed page by its name, as a user would ask for it.
shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat man tiefenflug 2>&1) || fail "man tiefenflug: $shown"
grep -q 'fractal zoom player' <<<"$shown" || fail "man tiefenflug shows:
$shown"
if [ -n "$saver" ]; then
  [ "$(command -v "$name")" = /usr/bin/tiefenflug ] || fail "xscreensaver would not find $name"
fi

# The installed player starts and shows the start card, judged from outside like every e2e test.
TF_PLAYER=/usr/bin/tiefenflug "$e2e" --gtest_filter='StartScreen.WindowsStandAtTheirPlacesAndShowTheStartCardPixelForPixel' --gtest_brief=1
echo "package $(basename "$deb") installed, listed and started"

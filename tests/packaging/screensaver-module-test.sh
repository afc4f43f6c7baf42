#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The xscreensaver module description: well-formed XML, named after the installed program, started
# with -root as xscreensaver starts its modules, and every command line it can build is one the
# program accepts (it then fails only for want of an X display, not for a bad option).
set -euo pipefail
module=$1 player=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

xmllint --noout "$module"
name=$(xmllint --xpath 'string(/screensaver/@name)' "$module")
[ "$name" = "$(basename "$player")" ] || fail "module names \"$name\", the program is $(basename "$player")"
command=$(xmllint --xpath 'string(/screensaver/command/@arg)' "$module")
[ "$command" = "-root" ] || fail "module starts the program with \"$command\""

mapfile -t choices < <(xmllint --xpath '//option/@arg-set' "$module" | sed -E 's/^ *arg-set="([^"]*)"$/\1/')
choices+=("")   # the option without arg-set: the default
for choice in "${choices[@]}"; do
  # shellcheck disable=SC2086 # the module's arguments are split as xscreensaver splits them
  if output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XSCREENSAVER_WINDOW QT_QPA_PLATFORM=offscreen \
              "$player" $command $choice 2>&1); then
    fail "\"$command $choice\" ran without a display"
  fi
  grep -q "Keine Verbindung zum X-Server" <<<"$output" || fail "\"$command $choice\" was refused: $output"
done
echo "module ${name}: ${#choices[@]} command lines accepted"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `make run` as a newcomer meets it: on this machine, every file of every Debian package that the
# player's build packages (scripts/install-deps --build-only) do not bring, and that a minimal
# Debian 12 does not have, is hidden from /usr. In that view:
#   1. a first configure in an empty build folder, as on a fresh clone;
#   2. `make run` on the suite's own build folder, which is configured for the tests (its changes
#      go to memory): it switches to the player alone, builds and starts it, and the player's two
#      windows must appear on a private X server.
# Needs root for the mounts; without it the test is skipped.
set -euo pipefail
src=$1 build=$2 bare=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
[ "$(id -u)" -eq 0 ] || { echo "not root: cannot hide packages, skipped"; exit 77; }

work=$(mktemp -d)
xpid= ppid=
cleanup() {
  set +e
  [ -n "$ppid" ] && kill -- -"$ppid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# What a newcomer's machine has: Debian's required and important packages and the build
# packages with everything they depend on.
player=$("$src/scripts/install-deps" --list player)
{
  dpkg-query -W -f='${Package} ${Priority} ${Essential}\n' |
    awk '$2 == "required" || $2 == "important" || $3 == "yes" {print $1}'
  # shellcheck disable=SC2086
  apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances $player | grep -v '^ ' | tr -d '<>'
} | sort -u >"$work/keep"
for p in $player; do grep -qx "$p" "$work/keep" || fail "build package $p is not installed"; done

# Every file of the other packages, except those a kept package owns too.
awk 'FNR == 1 { pkg = FILENAME; sub(/.*\//, "", pkg); sub(/\.list$/, "", pkg); sub(/:.*/, "", pkg) }
     FILENAME == ARGV[1] { keep[$0] = 1; next }
     (pkg in keep) { owned[$0] = 1; next }
     { other[$0] = 1 }
     END { for (f in other) if (!(f in owned)) print f }' "$work/keep" /var/lib/dpkg/info/*.list >"$work/hide"
grep -qx /usr/bin/desktop-file-validate "$work/hide" || fail "the test programs are not among the hidden files"

# A private X server, started before the view narrows (Xvfb itself is hidden there).
for n in $(seq 70 99); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$n" ] || fail "Xvfb :$n did not start"

# The player runs on the X server above, not on the suite's offscreen platform.
mkdir "$work/layers" "$work/fresh"
start=$(date +%s.%N)
setsid "$bare" --hide "$work/hide" --scratch "$build" --tmp "$work/layers" -- env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=":$n" bash -c '
  set -e
  for tool in desktop-file-validate appstreamcli xvfb-run Xvfb xdotool openbox xwininfo tjbench; do
    if command -v "$tool" >/dev/null; then echo "FAIL: $tool is still there" >&2; exit 1; fi
  done
  make -C "$1" --no-print-directory configure-player BUILD="$2"
  echo "fresh configure: done"
  date +"make run: started %s.%N"
  exec make -C "$1" --no-print-directory run BUILD="$3"' bare "$src" "$work/fresh" "$build" \
  >"$work/run.log" 2>&1 &
ppid=$!

# Both windows of the player, seen from outside.
shown=0 pid=
for _ in $(seq 600); do
  kill -0 "$ppid" 2>/dev/null || break
  pid=$(pgrep -x -s "$ppid" tiefenflug || true)
  # (xdotool fails while the player has no window yet)
  [ -n "$pid" ] && shown=$({ DISPLAY=":$n" xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true; } | wc -l)
  [ "$shown" -ge 2 ] && break
  sleep 0.2
done
echo "windows after $(echo "$(date +%s.%N) - $start" | bc) s"
cat "$work/run.log"
grep -q '^fresh configure: done$' "$work/run.log" || fail "configure in an empty folder failed"
[ "$shown" -ge 2 ] || fail "make run showed $shown windows"
echo "make run with the build packages alone: configured, built and showed the player"

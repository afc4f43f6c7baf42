#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real player on a private X server without a window manager: dragging the zoom picture
# moves both windows with the zoom window 32/24 right of and below the monitor window, and
# "Schließen" from the context menu as well as Alt+F4 end the player with status 0.
# Screenshots of a failing case are written to the working directory.
# Usage: xvfb_drag_and_exit.sh <path of the tiefenflug executable>
set -uo pipefail

player=${1:?usage: $0 <tiefenflug executable>}
failures=0
xvfb_pid=
player_pid=

cleanup() {
  [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

fail() {  # case, message
  echo "FAIL [$1]: $2"
  import -window root "zoom-xvfb-$1.png" 2>/dev/null && echo "  screenshot: $PWD/zoom-xvfb-$1.png"
  failures=$((failures + 1))
}

# Xvfb picks a free display number itself and writes it to our file.
display_file=$(mktemp)
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$display_file" ] && break; sleep 0.05; done
display=$(tr -d '[:space:]' <"$display_file")
rm -f "$display_file"
[ -n "$display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$display
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb does not answer on $DISPLAY"; exit 1; }
xsetroot -solid magenta

# Top-left corner "x y" of the player's visible window of the given width.
corner() {  # width
  local id
  for id in $(xdotool search --onlyvisible --pid "$player_pid" 2>/dev/null); do
    local info
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    if [ "$(awk '/^  Width:/ {print $2}' <<<"$info")" = "$1" ]; then
      awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}' <<<"$info"
      return 0
    fi
  done
  return 1
}

# Waits until the monitor window (704 wide) and the zoom window (640 wide) stand at the given
# corners; prints what it saw last.
windows_at() {  # monitor-x monitor-y zoom-x zoom-y
  local seen=
  for _ in $(seq 100); do
    seen="monitor $(corner 704 || echo none), zoom $(corner 640 || echo none)"
    [ "$seen" = "monitor $1 $2, zoom $3 $4" ] && return 0
    sleep 0.05
  done
  echo "$seen"
  return 1
}

start_player() {
  QT_QPA_PLATFORM=xcb "$player" >"player-$1.log" 2>&1 &
  player_pid=$!
  if ! seen=$(windows_at 0 0 32 24); then
    fail "$1" "windows not at their start places: $seen"
    return 1
  fi
  sleep 0.3   # the first picture is drawn
}

# Waits up to 5 s for the player to end; checks status 0.
expect_exit_zero() {  # case
  local i
  for i in $(seq 100); do
    kill -0 "$player_pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$player_pid" 2>/dev/null; then
    fail "$1" "the player is still running"
    kill "$player_pid"
    wait "$player_pid" 2>/dev/null
  else
    wait "$player_pid"
    local status=$?
    [ "$status" -eq 0 ] || fail "$1" "exit status $status"
  fi
  player_pid=
}

echo "== drag, then Schließen"
if start_player drag; then
  xdotool mousemove --sync 300 250 mousedown 1
  for i in $(seq 1 10); do
    xdotool mousemove --sync $((300 + 12 * i)) $((250 + 7 * i))
    sleep 0.03
    # The monitor window follows while the button is still down.
    if [ "$i" -eq 5 ] && ! seen=$(windows_at 60 35 92 59); then
      fail drag-midway "during the drag: $seen"
    fi
  done
  xdotool mouseup 1
  if ! seen=$(windows_at 120 70 152 94); then
    fail drag "after the drag: $seen"
  fi
  # A right click opens the context menu; "Schließen" is its last item.
  xdotool mousemove --sync 400 300 click 3
  sleep 0.5
  xdotool key Up Return
  expect_exit_zero close-menu
fi

echo "== Alt+F4"
if start_player alt-f4; then
  xdotool key alt+F4
  expect_exit_zero alt-f4
fi

echo "== Alt+F4 after clicking the monitor casing"
if start_player alt-f4-monitor; then
  xdotool mousemove --sync 12 300 click 1
  sleep 0.2
  xdotool key alt+F4
  expect_exit_zero alt-f4-monitor
fi

if [ "$failures" -eq 0 ]; then
  echo "all cases passed"
  exit 0
fi
echo "$failures failure(s)"
exit 1

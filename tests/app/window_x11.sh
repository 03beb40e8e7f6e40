#!/usr/bin/env bash
# Starts Dizad on the X display of xvfb-run, waits for its window, checks the
# window's size and rounded corners from a screenshot, then ends the program
# with SIGTERM and expects a clean exit.
#   window_x11.sh DIZAD PROBE OUT.png
set -euo pipefail
dizad=$1 probe=$2 out=$3
export QT_QPA_PLATFORM=xcb

"$dizad" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT

wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Dizad - ' | head -n 1)
if [ -z "$wid" ]; then
  echo "the Dizad window did not appear"
  exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "window $wid at $X,$Y size ${WIDTH}x$HEIGHT"

"$probe" "$out" "$X" "$Y" "$WIDTH" "$HEIGHT"
echo "screenshot: $out"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
trap - EXIT
if [ "$status" -ne 0 ]; then
  echo "dizad exited with status $status after SIGTERM"
  exit 1
fi
echo "dizad ended cleanly"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshot of the running program on a virtual X display, for the README.
#   tools/screenshot.sh OUT.png [STEP ...]
# Each STEP is "key:KEYS" (xdotool key names, space separated), "type:TEXT",
# "click:X,Y" (window coordinates) or "wait:SECONDS". The shot shows the active
# window on top (the main window, a dialog or the prime table), without the desktop.
# SCREEN=WxH sets the size of the virtual screen (default 1280x900).
# Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
out=${1:?usage: tools/screenshot.sh OUT.png [STEP ...]}
shift
program=${KALMORA:-build/kalmora}
display=:$((100 + RANDOM % 100))

Xvfb "$display" -screen 0 "${SCREEN:-1280x900}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 0.5
export DISPLAY=$display
QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
app=$!
sleep 2
xdotool search --sync --onlyvisible --pid "$app" >/dev/null
for step in "$@"; do
    kind=${step%%:*}
    arg=${step#*:}
    win=$(xdotool search --onlyvisible --pid "$app" | tail -1)
    case $kind in
    key) for k in $arg; do xdotool key --window "$win" "$k"; sleep 0.15; done ;;
    type) xdotool type --window "$win" --delay 40 "$arg" ;;
    click) xdotool mousemove --window "$win" "${arg%,*}" "${arg#*,}" click 1 ;;
    wait) sleep "$arg" ;;
    *) echo "unknown step: $step" >&2; exit 2 ;;
    esac
    sleep 0.4
done
sleep 1
# Without a window manager the newest visible window of the program is the one on top.
win=$(xdotool search --onlyvisible --pid "$app" | tail -1)
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "$out"

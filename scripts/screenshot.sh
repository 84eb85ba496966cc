#!/bin/sh
# Takes a screenshot of the real window under Xvfb, with a verdict showing.
# Usage: scripts/screenshot.sh [build dir] [output.png] [scale factor]
# Needs xvfb, xdotool and ImageMagick.
set -eu
build=${1:-build}
out=${2:-docs/screenshot.png}
scale=${3:-1}
home=$(mktemp -d)
trap 'kill "$app" "$xvfb" 2>/dev/null || true; rm -rf "$home"' EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$home/display" 2>/dev/null &
xvfb=$!
while [ ! -s "$home/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$home/display")"

XDG_CONFIG_HOME="$home" QT_SCALE_FACTOR="$scale" "$build/app/dravon" &
app=$!
window=$(xdotool search --sync --onlyvisible --name '^Pelmora$' | head -n 1)
# There is no window manager under Xvfb to activate the window.
xdotool windowfocus --sync "$window"
sleep 0.3
xdotool key F2
xdotool type --delay 20 '4111 1111 1111 1111'
xdotool key Return
sleep 0.5
mkdir -p "$(dirname "$out")"
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "$out"

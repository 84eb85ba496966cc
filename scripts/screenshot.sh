#!/bin/sh
# Takes a screenshot of the real window under Xvfb, with a verdict showing.
# Usage: scripts/screenshot.sh [build dir] [output.png] [scale factor]
# Installs what it needs (Xvfb, xdotool, ImageMagick) where it is missing.
set -eu
"$(dirname "$0")/install-deps.sh" images
build=${1:-build}
out=${2:-docs/screenshot.png}
scale=${3:-1}
work=$(mktemp -d)
pids=""
. "$(dirname "$0")/../tests/display.sh"
end_on_every_end
fail() { echo "screenshot: $*" >&2; exit 1; }
start_xvfb 1024x768
start_session_bus

XDG_CONFIG_HOME="$work" QT_SCALE_FACTOR="$scale" "$build/app/dravon" &
pids="$! $pids"
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

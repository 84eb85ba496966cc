#!/bin/sh
# Drives the built program under Xvfb as a user would: types a number and
# Enter, switches mode with F2, moves the window and ends with File > Exit;
# then checks the stored settings and that a second start restores them.
# Usage: end_to_end.sh path/to/dravon path/to/root_atoms
set -eu
program=$1
root_atoms=$2
. "$(dirname "$0")/xvfb.sh"
start_xvfb
app=""

# start [command]: the program, under the command given if any (which then
# is $app: it ends as the program ends).
start() {
    "$@" "$program" 2>"$work/stderr" &
    app=$!
    pids="$app $pids"
    # A --sync search that meets a window going away fails for good: search
    # afresh. The window is the program's by its class too: mutter draws its
    # frames in windows of its own that carry the client's title.
    for _ in $(seq 200); do
        titled=$(xdotool search --onlyvisible --name '^Pelmora$' 2>/dev/null) &&
            window=$(xdotool search --onlyvisible --classname '^dravon$' 2>/dev/null | grep -Fx "$titled" | head -n 1) &&
            [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window${wm:+ under $wm at scale $scale}: $(cat "$work/stderr")"
    # Without a window manager nothing activates the window; focus it directly.
    xdotool windowfocus --sync "$window"
}

wait_for_end() {
    for _ in $(seq 100); do running "$app" || break; sleep 0.1; done
    running "$app" && fail "$1 did not end the program"
    status=0
    wait "$app" || status=$?
    forget "$app"
    [ "$status" -eq 0 ] || fail "$1: exit status $status"
}

# Opens a menu with its access key, waits for it to show and chooses the
# item of the key given.
choose() {
    xdotool key "alt+$1"
    for _ in $(seq 50); do [ "$(xdotool search --onlyvisible --pid "$app" | wc -l)" -ge 2 ] && break; sleep 0.1; done
    [ "$(xdotool search --onlyvisible --pid "$app" | wc -l)" -ge 2 ] || fail "the menu did not open"
    xdotool key "$2"
}

stored() { grep -F "$1" "$conf" >/dev/null || fail "expected $1 in the settings"; }

# First run: no settings yet.
start
xdotool type --delay 10 '123456782'
xdotool key Return
xdotool key F2
xdotool type --delay 10 '4111 1111 1111 1111'
xdotool key Return
xdotool windowmove --sync "$window" 300 200
choose f x
wait_for_end "File > Exit"
stored 'Current%20mode=" 2"'
stored 'Window%20X=" 4500"'
stored 'Window%20Y=" 3000"'

# Second run: mode and position come back; SIGTERM ends it the same way.
start
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" = 300 ] && [ "$Y" = 200 ] || fail "window opened at $X,$Y, not 300,200"
kill -TERM "$app"
wait_for_end "SIGTERM"
stored 'Current%20mode=" 2"'
stored 'Window%20X=" 4500"'

# The other termination signals save and end the same way.
for signal in INT HUP; do
    rm -f "$conf"
    start
    kill "-$signal" "$app"
    wait_for_end "SIG$signal"
    stored 'Current%20mode=" 1"'
    stored 'Window%20Y='
done

# The shared file replaced as a careful writer replaces it, seen in the
# system calls: a private file gets a private temporary copy, which is
# synced before it is renamed over the file, and then the folder is synced.
printf '[Dravon]\nCurrent%%20mode=" 1"\n' >"$conf"
chmod 0640 "$conf"
start strace -f -o "$work/calls" -e trace=openat,fsync,rename
kill -TERM "$(pgrep -P "$app")"
wait_for_end "SIGTERM under strace"
awk '
    /openat\(.*\/\.Orvane\.conf\.[0-9.]+", O_WRONLY\|O_CREAT\|O_EXCL\|O_CLOEXEC, 0600\) = [0-9]+$/ { file = $NF; step = 1; next }
    step == 1 && $0 ~ "fsync\\(" file "\\) *= 0" { step = 2; next }
    step == 2 && /rename\(.*\/\.Orvane\.conf\.[0-9.]+", ".*\/Orvane\.conf"\) = 0$/ { step = 3; next }
    step == 3 && /openat\(.*O_DIRECTORY.*\) = [0-9]+$/ { folder = $NF; step = 4; next }
    step == 4 && $0 ~ "fsync\\(" folder "\\) *= 0" { step = 5 }
    END { exit step != 5 }
' "$work/calls" || fail "the file was not replaced through a private, synced copy and a synced folder: $(grep -e Orvane -e fsync "$work/calls")"
[ "$(stat -c %a "$conf")" = 640 ] || fail "the file's mode is now $(stat -c %a "$conf")"
stored 'Current%20mode=" 1"' && stored 'Window%20X='

# The frame as the window manager drew it, "left top width height": the
# client area where the X server has it, widened by _NET_FRAME_EXTENTS;
# nothing before the manager has framed it.
frame() {
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)$/\1 \2 \3 \4/p')
    [ -n "$extents" ] || return 0
    set -- $(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left [XY]: *//p; s/^ *Width: *//p; s/^ *Height: *//p') $extents
    echo "$(($1 - $5)) $(($2 - $7)) $(($3 + $5 + $6)) $(($4 + $7 + $8))"
}
# Waits up to 5 s for the frame to stand in the middle of the screen, within
# 3 pixels, and at the corner $1 unless it is empty (within the pixel that a
# place stored in device-independent units may round to at another scale); a
# manager may frame the window a moment after it is shown.
in_the_middle() {
    for _ in $(seq 50); do
        set -- "$1" $(frame) $screen
        if [ $# -eq 7 ]; then
            off="$((2 * $2 + $4 - $6)) $((2 * $3 + $5 - $7))"  # twice the distance from the middle
            moved="$((${1%% *} - $2)) $((${1##* } - $3))"
            [ -z "$1" ] || [ "$2 $3" = "$1" ] || { [ "$scale" != 1 ] && [ $((${moved% *} * ${moved% *})) -le 1 ] &&
                [ $((${moved#* } * ${moved#* })) -le 1 ]; } &&
                [ $((${off% *} * ${off% *} + ${off#* } * ${off#* })) -le 36 ] && corner="$2 $3" && return 0
        fi
        sleep 0.1
    done
    fail "the $restart start under $wm at scale $scale: frame [$2 $3 $4 $5] on a $6x$7 screen, not in the middle${1:+ at $1}"
}

# How many times a window manager has been asked for a frame so far, as a
# client listening on the root window hears such requests: counted once it
# has heard a mark set after them.
marks=0
asked() {
    marks=$((marks + 1))
    xprop -root -f PELMORA_MARK 32c -set PELMORA_MARK "$marks"
    for _ in $(seq 50); do [ "$(grep -c '(PELMORA_MARK)' "$work/heard")" -ge "$marks" ] && break; sleep 0.1; done
    [ "$(grep -c '(PELMORA_MARK)' "$work/heard")" -ge "$marks" ] || fail "the root window's listener heard no mark"
    grep -c '(_NET_REQUEST_FRAME_EXTENTS)' "$work/heard" || true
}
stdbuf -oL xev -root -event substructure -event property >"$work/heard" 2>&1 &
pids="$! $pids"

# Under window managers that frame the window, each its own way: a first
# start stands in the middle of the screen, frame and all, at every scale,
# and the next start exactly there; only the first asks the manager for the
# frame it will draw. A stored place is stored again after each of four
# restarts. A manager is ready once it claims the screen and has run its
# start-up.
screen=$(xwininfo -root | sed -n 's/^ *Width: *//p; s/^ *Height: *//p' | tr '\n' ' ')
for wm in openbox xfwm4 metacity mutter; do
    case $wm in
        openbox) exec openbox --sm-disable --startup "touch $work/$wm" ;;
        xfwm4) touch "$work/$wm" && exec xfwm4 --compositor=off --sm-client-disable ;;
        metacity) touch "$work/$wm" && exec metacity --no-composite --sm-disable ;;
        mutter) touch "$work/$wm" && exec mutter --x11 --replace --sm-disable ;;
    esac >/dev/null 2>&1 &
    manager=$!
    pids="$manager $pids"
    for _ in $(seq 100); do [ -f "$work/$wm" ] && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    # The managers name what they support in 76 to 85 atoms; one that names
    # more, the frame request far down the list, is asked all the same.
    if [ $wm = openbox ]; then
        "$root_atoms" _NET_SUPPORTED $(seq -f 'PELMORA_ATOM_%g' 64) \
            $(xprop -root _NET_SUPPORTED | sed 's/^[^=]*= *//; s/,/ /g') || fail "the list of what openbox supports stays"
    fi
    for scale in 1 1.5 2; do
        rm -f "$conf"
        corner=""
        for restart in first next; do
            before=$(asked)
            QT_SCALE_FACTOR=$scale start
            in_the_middle "$corner"
            kill -TERM "$app"
            wait_for_end "SIGTERM under $wm"
            requests=$(($(asked) - before))
            [ $requests -eq "$([ $restart = first ] && echo 1 || echo 0)" ] ||
                fail "the $restart start under $wm at scale $scale asked the manager for its frame $requests times"
        done
    done
    for scale in 1 1.5; do
        printf '[Dravon]\nWindow%%20X=" 3000"\nWindow%%20Y=" 1500"\n' >"$conf"
        for restart in 1 2 3 4; do
            QT_SCALE_FACTOR=$scale start
            kill -TERM "$app"
            wait_for_end "SIGTERM under $wm at scale $scale"
            stored 'Window%20X=" 3000"' && stored 'Window%20Y=" 1500"'
        done
    done
    kill "$manager" && wait "$manager" || true
    forget "$manager"
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null  # the claim of a manager that has gone
done

echo "end-to-end: ok"

#!/bin/sh
# Drives the Windows program under Wine on Xvfb as a user would, in a fresh
# Wine prefix of its own, under a window manager with a panel along the top
# of the screen: types numbers, Enter, F2, Shift+Del, Help > About, File >
# Exit and Alt+F4; hears what a screen reader is told; looks at the window
# (its size at 96 and 144 dots per inch, the face of each control, the About
# box's owner) and reads the controls back with the probe and the stored
# values with reg; logs off, cancelled and for real; starts again to find
# them restored; starts on a value of the wrong type, a position on no
# screen, and where no window can be made.
# Usage: end_to_end.sh Dravon.exe probe.exe
set -eu
program=$1
probe=$2
. "$(dirname "$0")/../display.sh"
. "$(dirname "$0")/wine-session.sh"
start_wine_session panel
# The program and the probe, each under the loader of its own width, in
# processes of their own whose end is theirs.
run=$(loader_for "$program")
ask_run=$(loader_for "$probe")
key='HKCU\Software\VB and VBA Program Settings\Orvane\Dravon'
x11='HKCU\Software\Wine\X11 Driver'
# Wine keeps no accessibility annotations: a stand-in in the probe's hook
# keeps what the program asks for (see probe_hook.cpp), registered where a
# program of the hook's width, the probe's, looks for the class.
view=64
[ "$ask_run" = "$wine" ] || view=32
$wine reg add 'HKLM\Software\Classes\CLSID\{B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}\InprocServer32' /ve /f \
    /d "$($wine winepath -w "$(dirname "$probe")/probe_hook.dll" | tr -d '\r')" /reg:$view >/dev/null 2>&1

# Starts the program and waits until typing reaches its field.
start() {
    $run "$program" &
    app=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Pelmora$' | head -n 1)
    [ -n "$window" ] || fail "no window"
    # (A window Wine keeps from the window manager cannot be activated by it.)
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    run_probe focus
}
# The controls' texts: prompt, entry, verdict.
shows() {
    expected=$(printf '%s\n%s\n%s' "$1" "$2" "$3")
    for _ in $(seq 20); do
        actual=$($ask_run "$probe" | tr -d '\r')
        [ "$actual" = "$expected" ] && return 0
        sleep 0.2
    done
    fail "window shows [$actual], expected [$expected]"
}
# Everything a screen reader was told to speak since the listener started,
# one announcement a line ("Label2: is a valid VAT code").
heard() {
    for _ in $(seq 50); do
        [ "$(tr -d '\r' <"$work/heard")" = "$1" ] && return 0
        sleep 0.1
    done
    fail "a screen reader heard [$(tr -d '\r' <"$work/heard")], expected [$1]"
}
# The program has ended, its settings written, when its process has: its
# window may be gone from a search a moment before. A normal end is status 0.
wait_for_end() {
    for _ in $(seq 100); do
        if ! kill -0 "$app" 2>/dev/null; then
            wait "$app" || fail "$1 ended the program with status $?"
            return 0
        fi
        sleep 0.1
    done
    fail "$1 did not end the program"
}
# The window as a person sees it: the client area's size ($1), each control
# drawn in the form's face (MS Sans Serif or what stands in for it) at the
# height of a character ($2), the prompt and the verdict line polite live
# regions.
looks() {
    client=$(ask client)
    [ "${client%%+*}" = "$1" ] || fail "client area $client, not $1"
    faces=$(ask faces)
    face="${faces%%:*} $2 400"
    [ "$faces" = "${faces%%:*}: $face; $face; $face" ] || fail "controls drawn in [$faces], not $face"
    [ "$(ask live)" = "polite polite" ] || fail "live settings [$(ask live)]"
}
# A screen reader's listener from now on (a busy Wine may take seconds).
listen() {
    $ask_run "$probe" listen >"$work/heard" &
    for _ in $(seq 200); do grep -q listening "$work/heard" && return 0; sleep 0.1; done
    fail "no screen reader's listener"
}
run_probe() { $ask_run "$probe" "$@" || fail "probe $1 exited with $?"; }
# The probe's answer, without carriage returns; a probe that fails says so.
ask() {
    $ask_run "$probe" "$@" >"$work/answer" || fail "probe $1 exited with $?"
    tr -d '\r' <"$work/answer"
}
marks() {
    actual=$(ask marks)
    [ "$actual" = "$1" ] || fail "menu marks [$actual], expected [$1]"
}
# Opens a menu with its access key and chooses the item of the key given.
choose() {
    xdotool key "alt+$1"
    run_probe menu
    xdotool key "$2"
}
# The colour at $2,$3 of the picture $1 ("srgb(240,240,240)").
colour() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
# Whether the check $1, which looks at the screen, passes within 5 s: what
# was just shown may take a moment to be painted.
seen() {
    for _ in $(seq 25); do "$1" && return 0; sleep 0.2; done
    return 1
}
# Changes the registry, and says so where Wine's reg fails.
registry() {
    $wine reg "$@" >"$work/reg" 2>&1 || fail "reg $* failed with status $?: $(tr -d '\r' <"$work/reg")"
}
# A value stored in the program's key, empty where there is none, and what
# reg said where it failed otherwise.
stored() {
    if $wine reg query "$key" /v "$1" >"$work/stored" 2>&1; then
        tr -d '\r' <"$work/stored" | sed -n "s/^ *$1 *REG_SZ    //p"
    elif ! grep -q 'Unable to find' "$work/stored"; then
        echo "<reg query failed: $(tr -d '\r' <"$work/stored" | tr '\n' ' ')>"
    fi
}

start
shows "VAT registration code" "" ""
marks "VAT on, card off"
looks 305x84 13
# As its manifest asks: every window of the program follows its own
# monitor's density (Wine 8 makes every window so, Wine 10 only as asked).
[ "$(ask awareness)" = per-monitor ] || fail "the window follows densities as [$(ask awareness)], not per monitor"
first=$(ask place)  # where Windows puts a new window
listen
# A character outside the Basic Multilingual Plane arrives as two halves;
# the field keeps what was typed, in order. '12€😀34' is typed as the
# character map and on-screen keyboards type: one UTF-16 unit at a time.
# (xdotool would remap a spare key for each of € and 😀, which Wine does not
# always see in time.)
run_probe type 0031 0032 20AC D83D DE00 0033 0034
shows "VAT registration code" "12€😀34" ""
xdotool key Return
shows "VAT registration code" "12€😀34" "has wrong number of digits"
heard "listening
Label2: has wrong number of digits"
# Tab is a focus key: the verdict stays and nothing is typed.
xdotool key Tab
shows "VAT registration code" "12€😀34" "has wrong number of digits"
# Typing after Home inserts at the start; Ctrl+M is Enter.
xdotool key shift+Delete
xdotool type --delay 20 '456782'
xdotool key Home
xdotool type --delay 20 '123'
xdotool key ctrl+m
shows "VAT registration code" "123456782" "is a valid VAT code"
xdotool key Escape
shows "VAT registration code" "123456782" ""
xdotool key shift+Delete
xdotool type --delay 20 'GB 123 4567 82'
xdotool key Return Return
shows "VAT registration code" "GB 123 4567 82" "is a valid VAT code"
# As a person sees the form, once painted: both labels' text on the form's
# own background (most of what lies within each one's ink is that colour),
# the verdict centred under the field, the field sunken into it.
ground() {
    convert "$work/form.png" -crop "$1" +repage -trim +repage -format %c histogram:info:- |
        sort -rn | sed -n '1s/.* //p'
}
form_drawn() {
    import -window root -crop "$(ask client)" +repage "$work/form.png"
    form=$(colour "$work/form.png" 2 2)
    labels="$(ground 145x17+8+8) $(ground 185x17+62+40)"
    ink=$(convert "$work/form.png" -crop 185x17+62+40 +repage -format %@ info:)
    left=${ink#*+}
    off=$((2 * ${left%%+*} + ${ink%%x*} - 185))  # twice the distance from the centre
    edge="$(colour "$work/form.png" 152 4) $(colour "$work/form.png" 290 16)"
    [ "$labels" = "$form $form" ] && [ $((off * off)) -le 36 ] && [ "${edge% *}" != "${edge#* }" ]
}
seen form_drawn || fail "labels on [$labels], not the form's $form; verdict's ink at [$ink] in its 185-pixel line; field's edge and inside [$edge]"
xdotool type --delay 20 '1'
shows "VAT registration code" "GB 123 4567 821" ""
xdotool key F2
shows "Credit card number" "" ""
marks "VAT off, card on"
# Each verdict is spoken, the same one again too, and so is the new prompt.
heard "listening
Label2: has wrong number of digits
Label2: is a valid VAT code
Label2: is a valid VAT code
Label2: is a valid VAT code
Label1: Credit card number"
# Help > About: the window behind it takes no input until it is closed;
# then typing reaches the field once more.
choose h Return
about=$(ask about)
[ "$about" = "owned by the window, which takes no input" ] || fail "About box [$about]"
# Its icon, left of the text: coloured pixels among greys.
icon_drawn() {
    import -window "$(xdotool search --name '^About Dravon$' | head -n 1)" -crop 50x+0+0 "$work/about.png"
    icon=$(convert "$work/about.png" -colorspace HSL -channel G -separate -threshold 50% -format '%[fx:round(mean*w*h)]' info:)
    [ "$icon" -ge 100 ]
}
seen icon_drawn || fail "the About box shows no icon ($icon coloured pixels)"
xdotool key Return
run_probe focus
# A full field is judged on all 20 characters, 20 digits typed without
# blanks among them (without the last one, the number would not be valid);
# a 21st is refused.
xdotool type --delay 20 '411111111111111111159'
shows "Credit card number" "41111111111111111115" ""
xdotool key Return
shows "Credit card number" "41111111111111111115" "is a valid credit card number"
xdotool key shift+Delete
shows "Credit card number" "" "is a valid credit card number"
xdotool windowmove --sync "$window" 300 200
# A log-off asked for and then called off: the program goes on and writes nothing.
run_probe endsession cancelled
shows "Credit card number" "" "is a valid credit card number"
[ -z "$(stored 'Current mode')" ] || fail "a cancelled log-off wrote the mode [$(stored 'Current mode')]"
choose f x
wait_for_end "File > Exit"
[ "$(stored 'Current mode')" = " 2" ] || fail "mode stored as [$(stored 'Current mode')]"
x=$(stored 'Window X')
y=$(stored 'Window Y')
[ "${x# }" -gt 0 ] && [ "${y# }" -gt 0 ] || fail "position stored as [$x] [$y]"

# The next start restores the mode and the position, below the panel as
# before; Alt+F4 saves too.
start
shows "Credit card number" "" ""
looks 305x84 13
# Moved to a monitor of 144 dots per inch and back, as Windows tells it: the
# size it asks for is the form's with its menu bar at the new density, the
# form is laid out at each density, its corner where suggested (Wine's frame
# keeps one density, so not its outer size), and the face of the old density
# is deleted; then the same place is stored.
for step in "144 12 458x126 20" "96 -12 305x84 13"; do
    set -- $step
    suggested=$(ask density "$1" "$2")
    looks "$3" "$4"
    set -- $suggested "$1"
    [ "$8" = asked ] || fail "at $9 dpi the window asked for no size of its own (WM_GETDPISCALEDSIZE)"
    [ "$3 $4" = "$5 $6" ] || fail "at $9 dpi the window asked for $3x$4, not the form's $5x$6 with its menu bar"
    [ "$7" = deleted ] || fail "at $9 dpi the face of the old density is $7"
    place=$(ask place)
    [ "${place% * *}" = "$1 $2" ] || fail "at $9 dpi the window stands at [$place], not [$suggested]"
done
xdotool key alt+F4
wait_for_end "Alt+F4"
now="[$(stored 'Window X')] [$(stored 'Window Y')]"
[ "$now" = "[$x] [$y]" ] || fail "position not restored: [$x] [$y] became $now"

# Closed while minimised, from the taskbar (WM_CLOSE) or by the session's
# end, or while maximised: the position stored is where the window stands
# when restored. Maximised, the window is truly so, its client area not the
# form's, and a density change neither moves nor sizes it.
# (openbox keeps no fixed-size window maximised; Wine on its own does, as
# Windows does.)
for step in "minimize close" "minimize endsession" "maximize close"; do
    set -- $step
    [ "$1" = maximize ] && registry add "$x11" /v Managed /d N /f
    start
    run_probe "$1"
    if [ "$1" = maximize ]; then
        maximised="$(ask place); $(ask client)"
        case $maximised in *"; 305x84+"*) fail "a maximised window at the form's size: $maximised" ;; esac
        ask density 144 12 >/dev/null
        [ "$(ask place); $(ask client)" = "$maximised" ] ||
            fail "a density change took a maximised window from [$maximised] to [$(ask place); $(ask client)]"
    fi
    run_probe "$2"
    wait_for_end "$2 after $1"
    now="[$(stored 'Window X')] [$(stored 'Window Y')]"
    [ "$now" = "[$x] [$y]" ] || fail "$2 after $1 stored $now, not [$x] [$y]"
done
registry delete "$x11" /v Managed /f

# A value of the wrong type counts as missing: VAT mode, rewritten as text.
# An edge stored alone is restored alone.
registry add "$key" /v 'Current mode' /t REG_DWORD /d 2 /f
registry delete "$key" /v 'Window Y' /f
start
shows "VAT registration code" "" ""
set -- $(ask place) $first
[ "$1 $2" = "$((${x# } / 15)) $6" ] || fail "Window X alone put the window at $1 $2, not $((${x# } / 15)) $6"
choose f x
wait_for_end "File > Exit"
[ "$(stored 'Current mode')" = " 1" ] || fail "mode rewritten as [$(stored 'Current mode')]"
# No mode stored: both marks stay on, and Enter judges nothing and says
# nothing; a position with the title bar three-quarters off the right edge
# stays where Windows puts a new window.
registry add "$key" /v 'Current mode' /t REG_SZ /d 0 /f
registry add "$key" /v 'Window X' /t REG_SZ /d ' 18030' /f
start
marks "VAT on, card on"
[ "$(ask place)" = "$first" ] || fail "a title bar mostly off the screen put the window at $(ask place), not $first"
listen
xdotool type --delay 20 '123456782'
xdotool key Return
shows "VAT registration code" "123456782" ""
xdotool key F1
shows "VAT registration code" "" ""
marks "VAT on, card off"
heard "listening
Label1: VAT registration code"
xdotool key alt+F4
wait_for_end "Alt+F4"

# The system's density set to 144 dots per inch: until the user signs in
# again, programs started meanwhile have it, but each monitor keeps the
# density it had (Wine 10 shows this; Wine 8 gives every monitor the
# system's at once). The form is laid out at its monitor's, and its place
# stored at the system's, 10 twips to a pixel.
registry delete "$key" /f
registry add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
start
case $(ask monitor) in
    96) looks 305x84 13 ;;
    144) looks 458x126 20 ;;
    *) fail "a monitor of $(ask monitor) dpi" ;;
esac
xdotool windowmove --sync "$window" 300 200
set -- $(ask place)
xdotool key alt+F4
wait_for_end "Alt+F4 before signing in again"
now="[$(stored 'Window X')] [$(stored 'Window Y')]"
[ "$now" = "[ $(($1 * 10))] [ $(($2 * 10))]" ] || fail "at a system density of 144 dpi $1,$2 pixels were stored as $now"
# Signed in again, the monitor has that density too: the window is half as
# large again, at a first start and at one that restores its position, which
# is stored at that density.
new_wine_session
registry delete "$key" /f
for round in first restored; do
    start
    looks 458x126 20
    [ "$round" = first ] && xdotool windowmove --sync "$window" 300 200
    set -- $(ask place)
    xdotool key alt+F4
    wait_for_end "Alt+F4 at 144 dpi, $round start"
    # Stored in twips at this density, 10 to a pixel.
    now=$(stored 'Window X')
    [ "$now" = " $(($1 * 10))" ] || fail "at 144 dpi $1 pixels were stored as [$now]"
done

# Started from a shortcut set to run minimised, the window starts so; from
# one set to run maximised (unmanaged, since openbox keeps no fixed-size
# window maximised), the form has no room to fill: it starts as it is, where
# it was, even where Windows maximises it by the start's own settings; a
# maximise after that one is the user's.
for how in min:minimised max:normal; do
    [ "$how" = max:normal ] && registry add "$x11" /v Managed /d N /f
    $run start "/${how%:*}" /wait /unix "$program" &
    app=$!
    for _ in $(seq 100); do [ "$($ask_run "$probe" state | tr -d '\r')" = "${how#*:}" ] && break; sleep 0.2; done
    [ "$(ask state)" = "${how#*:}" ] || fail "a start asked to be ${how%:*}imised left the window $(ask state)"
    if [ "$how" = min:minimised ]; then
        # Its frame is never made the form's size, nor by a density change
        # meanwhile: it has no client area.
        minimised=$(ask client)
        ask density 144 0 >/dev/null
        [ "${minimised%%+*} $(ask client | cut -d+ -f1)" = "0x0 0x0" ] ||
            fail "a minimised window with a client area of $minimised, then $(ask client)"
    else
        [ "$(ask started-maximised)" = normal ] || fail "Windows' maximise of a start asked to be maximised stayed"
        looks 458x126 20
        [ "$(ask place | cut -d' ' -f1,2)" = "$1 $2" ] || fail "a start asked to be maximised at $(ask place), not $1 $2"
        run_probe maximize
    fi
    run_probe close
    wait_for_end "closing the ${how%:*}imised start"
done
registry delete "$x11" /v Managed /f

# Where no window can be made (here: there is no display to make it on),
# the program says so and ends with a failure, rather than waiting unseen.
status=0
DISPLAY='' timeout 60 $run "$program" || status=$?
[ "$status" -eq 1 ] || fail "with no window the program ended with status $status"
echo "Windows end-to-end: passed"

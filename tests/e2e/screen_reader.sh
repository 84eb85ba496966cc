#!/bin/sh
# What a blind user hears: the built program under the Orca screen reader,
# speech through Speech Dispatcher's silent "dummy" output module, and what
# Orca speaks read from its own debug log (its SPEECH OUTPUT lines).
# Usage: screen_reader.sh path/to/dravon
set -eu
program=$1
work=$(mktemp -d)
pids=""
cleanup() {
    # Orca first, and wholly, or the next run finds it still running and
    # refuses to start; its handler runs when its main loop wakes, which a
    # key press helps.
    if [ -n "${orca:-}" ] && kill -TERM "$orca" 2>/dev/null; then
        xdotool key shift 2>/dev/null || true
        for _ in $(seq 50); do running "$orca" || break; sleep 0.1; done
    fi
    # Then the rest, newest first, as every script ends what it started.
    end_started
}
fail() { echo "FAIL: $*" >&2; grep -a 'SPEECH OUTPUT' "$work/orca.log" >&2 || true; exit 1; }
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/speech-dispatcher" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The dummy module opens a sound device as it starts (Speech Dispatcher 0.12):
# ALSA's null device, which every machine has.
printf 'AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\nAudioOutputMethod "alsa"\nAudioALSADevice "null"\n' \
    >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
. "$(dirname "$0")/../display.sh"
end_on_every_end cleanup
start_xvfb
start_session_bus
openbox >/dev/null 2>&1 &
pids="$! $pids"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids="$! $pids"
for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.1
done
for property in IsEnabled ScreenReaderEnabled; do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:$property variant:boolean:true >/dev/null
done
speech-dispatcher --spawn --timeout 0 >/dev/null 2>&1 || true
# Only the server this spawn started, the one in the test's own runtime
# folder: another is the user's, who may be listening to it.
for speechd in $(pgrep -u "$(id -u)" -x speech-dispatch || true); do
    grep -qzx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" "/proc/$speechd/environ" 2>/dev/null && pids="$speechd $pids"
done
# Orca buffers a debug file but writes a terminal line by line: it runs on
# the pseudo-terminal of script(1), which copies what it writes to the log.
SHELL=/bin/sh script -q -f -c 'exec orca --debug-file=/dev/stdout' "$work/orca.log" </dev/null >/dev/null 2>&1 &
typescript=$!
pids="$typescript $pids"
for _ in $(seq 50); do orca=$(pgrep -P "$typescript" -x orca) && break; sleep 0.1; done
[ -n "$orca" ] || fail "Orca did not start"
pids="$orca $pids"
# Orca speaks before it listens: it is ready once it has heard its own
# arrival on the accessibility bus ("[application | orca]" in Orca 43's log,
# "[application: 'orca']" in 48's).
arrived() { grep -aqE "children-changed:add.*\\[application( \\| |: ')orca" "$work/orca.log" 2>/dev/null; }
for _ in $(seq 150); do arrived && break; running "$orca" || break; sleep 0.2; done
# Orca refuses to start beside another of the same user's, a screen reader
# already in use among them, and says so (in the log once script(1) ends).
if ! arrived; then
    for _ in $(seq 50); do running "$typescript" || break; sleep 0.1; done
fi
arrived || fail "Orca is not listening: $(tr -d '\r' <"$work/orca.log" | grep -av -e '^Script ' -e '^$' | tail -n 2)"

# What Orca has spoken since the last step began, one utterance a line: the
# text of each SPEECH OUTPUT (which may run over several lines of the log),
# its blanks made single, without the full stop Orca 43 ends some with.
spoken() {
    tail -n +"$((mark + 1))" "$work/orca.log" | awk -v q="'" '
        index($0, "SPEECH OUTPUT: " q) { text = substr($0, index($0, "SPEECH OUTPUT: " q) + 16); inside = 1 }
        inside && !index($0, "SPEECH OUTPUT: ") { text = text " " $0 }
        inside && match(text, q " *[{]") {
            text = substr(text, 1, RSTART - 1)
            gsub(/[ \t\r]+/, " ", text); sub(/^ /, "", text); sub(/ $/, "", text)
            if (text ~ /[^.][.]$/) text = substr(text, 1, length(text) - 1)
            print text
            inside = 0
        }'
}
# Waits up to $1 tenths of a second for Orca to speak the words given, whole
# and in that order, since the last step began: Orca 43 speaks a
# notification's role and text as one utterance, 48 as two.
heard() {
    tenths=$1
    shift
    for _ in $(seq "$((tenths / 2))"); do
        case " $(spoken | tr '\n' ' ') " in *" $* "*) return 0 ;; esac
        sleep 0.2
    done
    return 1
}
hears() { heard 150 "$@" || fail "Orca did not say [$*] but [$(spoken | tr '\n' '|')]"; }
# Each step begins once Orca has worked through what came before (its log
# still for a second): a key pressed while it is busy waits on it, and the
# program with it.
step() {
    still=0 last=""
    for _ in $(seq 80); do
        size=$(wc -c <"$work/orca.log")
        if [ "$size" = "$last" ]; then still=$((still + 1)); else still=0; fi
        [ "$still" -ge 4 ] && break
        last=$size
        sleep 0.25
    done
    mark=$(wc -l <"$work/orca.log")
}

step
# The program, its window brought to the front: the window manager does not
# always activate a window that maps early in its own start.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
pids="$! $pids"
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Pelmora$' | head -n 1)
[ -n "$window" ] || fail "no window"
xdotool windowactivate --sync "$window" 2>/dev/null || true
# Orca speaks the frame and usually the focused field; the field is waited
# for after the About box, where its return is steady. A program Orca takes
# no notice of fails the test: a blind user would hear nothing of it either.
hears "Pelmora frame"
step
# Each character typed is echoed.
xdotool type --delay 50 '123456782'
hears 1 2 3 4 5 6 7 8 2
step
xdotool key Return
hears "notification is a valid VAT code"
step
xdotool key Return
hears "notification is a valid VAT code"
step
xdotool key F2
hears "notification Credit card number"
step
xdotool type --delay 50 '4111111111111111'
hears 4 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1
step
xdotool key Return
hears "notification is a valid credit card number"
step
xdotool key F1
hears "notification VAT registration code"
# Help > About (its first item): the box is read in full, and closing it
# returns to the field, named by its prompt.
step
# Alt is held as a person holds it, until Orca has heard it and worked
# through it, and then until the menu opened: Qt hands each key to the
# screen reader first and the window has it only once Orca answers (or a
# tenth of a second later), so an Alt+H the window sees as H, then Alt,
# opens no menu, and an Alt let go before the window saw H closes it again.
xdotool keydown alt
hears left alt
step
xdotool key h
hears "About Dravon..."
xdotool keyup alt
step
xdotool key Return
hears "alert About Dravon"
hears "Pelmora (Win98) 1.00"
# Its button by its role: a push button to Orca 43, a button to 48.
heard 150 OK push button || hears OK button
step
xdotool key Return
hears "VAT registration code text"
echo "Screen reader: passed"

#!/bin/sh
# The Windows release as a user meets it, under Wine in a throwaway prefix:
# checks the installer's tables and the zip's contents, installs without
# elevation, finds the program, the Start menu shortcut and the Apps entry,
# starts the program from the shortcut (with "run"), removes it, and finds
# every installed file gone and the user's settings kept. With a later
# version's installer, also upgrades in place and refuses the downgrade.
#
# Usage: package_round_trip.sh MSI ZIP EXE NAME VERSION PUBLISHER UPGRADE_CODE
#                              run|norun [NEXT_MSI]
# "run" needs the test probe (probe.exe) named in $PROBE.
set -eu
msi=$(realpath "$1") zip=$(realpath "$2") exe=$(realpath "$3")
name=$4 version=$5 publisher=$6 upgrade_code=$7 mode=$8
next=${9:+$(realpath "$9")}
. "$(dirname "$0")/../display.sh"
. "$(dirname "$0")/wine-session.sh"

# The package's own tables.
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
for pair in "ProductName=$name" "ProductVersion=$version" "Manufacturer=$publisher" \
            "UpgradeCode={$upgrade_code}"; do
    [ "$(property "$msi" "${pair%%=*}")" = "${pair#*=}" ] ||
        fail "${pair%%=*} is [$(property "$msi" "${pair%%=*}")], expected [${pair#*=}]"
done
# Word count bit 8: installs without elevation.
word_count=$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
[ $((word_count & 8)) -eq 8 ] || fail "the package asks for elevation (word count $word_count)"

# The portable zip: the program as built and the readme, nothing else.
unzip -q "$zip" -d "$work/zip"
[ "$(cd "$work/zip" && ls | tr '\n' ' ')" = "Dravon.exe readme.txt " ] ||
    fail "the zip holds [$(ls "$work/zip" | tr '\n' ' ')]"
cmp -s "$work/zip/Dravon.exe" "$exe" || fail "the zip's Dravon.exe is not the built one"
grep -q 'VB and VBA Program Settings\\Orvane\\Dravon' "$work/zip/readme.txt" ||
    fail "the readme does not say where the settings are"
# Per-monitor density, which Wine cannot show, as the program's manifest asks
# for it: by monitor where Windows knows how (10 and 8.1), then the system's.
grep -aq '>PerMonitorV2, PerMonitor</dpiAwareness>' "$exe" && grep -aq '>true/pm</dpiAware>' "$exe" ||
    fail "the program's manifest asks for no per-monitor density"

start_wine_session
users="$WINEPREFIX/drive_c/users/$(id -un)"
program="$users/AppData/Local/Programs/$name/Dravon.exe"
shortcut="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$name.lnk"
settings='HKCU\Software\VB and VBA Program Settings\Orvane\Dravon'

msiexec() { $wine msiexec "$@" /qn >/dev/null 2>&1; }
# The Apps entry of a product code, in whichever view this Wine keeps it.
apps_entry() {
    for root in 'HKCU\Software' 'HKLM\Software' 'HKLM\Software\Wow6432Node'; do
        value=$($wine reg query "$root\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v "$2" 2>/dev/null |
                tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p")
        [ -n "$value" ] && { echo "$value"; return 0; }
    done
}
installed() {
    [ -f "$program" ] || fail "$1: no $program"
    [ -f "$shortcut" ] || fail "$1: no Start menu shortcut"
    # Each value read once: what is compared is what a failure shows.
    entry="[$(apps_entry "$2" DisplayName)] [$(apps_entry "$2" Publisher)] [$(apps_entry "$2" DisplayVersion)]"
    [ "$entry" = "[$name] [$publisher] [$3]" ] && return 0
    for root in 'HKCU\Software' 'HKLM\Software' 'HKLM\Software\Wow6432Node'; do
        # What each view holds, for the report.
        $wine reg query "$root\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$2" >&2 2>&1 || true
    done
    fail "$1: Apps entry $entry, expected [$name] [$publisher] [$3]"
}
removed() {
    [ ! -e "$program" ] && [ ! -e "$(dirname "$program")" ] || fail "$1: the program folder remains"
    [ ! -e "$shortcut" ] || fail "$1: the shortcut remains"
    [ -z "$(apps_entry "$2" DisplayName)" ] || fail "$1: the Apps entry remains"
}
stored() { $wine reg query "$settings" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ    //p"; }

code=$(property "$msi" ProductCode)
msiexec /i "$msi" || fail "install exited with $?"
installed "install" "$code" "$version"
cmp -s "$program" "$exe" || fail "the installed Dravon.exe is not the built one"

if [ "$mode" = run ]; then
    # Started from the Start menu shortcut; Alt+F4 ends it through its own
    # shut-down, which writes the settings.
    $wine start /unix "$shortcut"
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$name\$" | head -n 1)
    [ -n "$window" ] || fail "the shortcut started no window"
    xdotool windowfocus --sync "$window"
    # Typing reaches the program once its field has the focus.
    $(loader_for "$PROBE") "$PROBE" focus || fail "the installed program's field never took the focus"
    xdotool key F2 alt+F4
    wait_program_gone Dravon.exe || fail "Alt+F4 did not end the installed program"
    [ "$(stored 'Current mode')" = " 2" ] && [ -n "$(stored 'Window X')" ] && [ -n "$(stored 'Window Y')" ] ||
        fail "the installed program saved [$(stored 'Current mode')] [$(stored 'Window X')] [$(stored 'Window Y')]"
else
    $wine reg add "$settings" /v 'Current mode' /d ' 2' /f >/dev/null 2>&1
fi

msiexec /x "$msi" || fail "uninstall exited with $?"
removed "uninstall" "$code"
[ "$(stored 'Current mode')" = " 2" ] || fail "uninstall lost the settings"

if [ -n "$next" ]; then
    next_code=$(property "$next" ProductCode)
    next_version=$(property "$next" ProductVersion)
    msiexec /i "$msi" || fail "reinstall exited with $?"
    msiexec /i "$next" || fail "upgrade exited with $?"
    installed "upgrade" "$next_code" "$next_version"
    [ -z "$(apps_entry "$code" DisplayName)" ] || fail "upgrade left $version installed beside $next_version"
    if msiexec /i "$msi"; then fail "the downgrade to $version was not refused"; fi
    installed "refused downgrade" "$next_code" "$next_version"
    msiexec /x "$next" || fail "uninstalling $next_version exited with $?"
    removed "uninstalling $next_version" "$next_code"
fi
echo "Windows package round trip ($mode): passed"

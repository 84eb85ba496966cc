#!/bin/sh
# Runs a cross-built program under Wine in the test run's own prefix, never
# the user's: $PELMORA_WINEPREFIX, made on first use.
set -eu
prefix=${PELMORA_WINEPREFIX:-${TMPDIR:-/tmp}/pelmora-wine-$(id -u)}
export WINEPREFIX="$prefix" WINEDEBUG=-all
if [ ! -f "$prefix/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
fi
exec /usr/lib/wine/wine64 "$@"

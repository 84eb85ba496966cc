#!/bin/sh
# Succeeds where this machine runs 32-bit x86 programs; some kernels refuse
# them ("Exec format error"). Asks by running the smallest such program: a
# 110-byte ELF that prints "32" and exits, written here byte by byte, since
# nothing 32-bit may be installed yet. PELMORA_NO_32_BIT=1 answers no, to try
# the other branch of what depends on the answer.
set -eu
[ "${PELMORA_NO_32_BIT:-0}" = 1 ] && exit 1
probe=$(mktemp)
work=$probe pids=""
. "$(dirname "$0")/../tests/display.sh"
end_on_every_end
printf '\177\105\114\106\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\156\0\0\0\156\0\0\0\5\0\0\0\0\20\0\0\271\153\200\4\10\61\333\103\152\3\132\152\4\130\315\200\61\333\61\300\100\315\200\63\62\12' >"$probe"
chmod +x "$probe"
# A shell would run a file the kernel refuses as a script; only the real
# program prints "32".
[ "$("$probe" 2>/dev/null)" = 32 ]

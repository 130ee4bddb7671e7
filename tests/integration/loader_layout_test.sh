#!/usr/bin/env bash
# Programs started through the suite's 64-bit `wine` run with address
# randomization off (scripts/wine-env): randomized, about one start in 4000
# ends at once with status 1, printing nothing. Skipped (77) where the
# personality cannot be set.
#   loader_layout_test.sh
set -uo pipefail
[[ -z ${NOLV_LOADER_RANDOMIZED:-} ]] || { echo "skipped: address randomization cannot be turned off here"; exit 77; }
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
# `pause` waits for its input to end: the program runs until fd 3 closes.
input=$(mktemp -u)
mkfifo "$input"
wine cmd /c pause <"$input" >/dev/null 2>&1 &
program=$!
exec 3>"$input"
rm -f "$input"
for _ in $(seq 600); do  # until the shim has handed over to the loader, up to a minute
    [[ $(readlink "/proc/$program/exe") == */wine64 ]] && break
    sleep 0.1
done
read -r personality <"/proc/$program/personality"
exec 3>&-
wait "$program"
check "the program's personality has ADDR_NO_RANDOMIZE (0x0040000)" 1 $(((0x$personality >> 18) & 1))
((failures == 0))

#!/usr/bin/env bash
# A second job claiming the tree waits and says why; a claimed job's
# wine_start ends a server left running in its prefix, with its programs,
# and its own server does not hold the tree's lock. A scratch prefix.
#   wine_env_test.sh ARCH
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd) arch=$1
lock=$root/build/.test-run.lock
source "$here/check.sh"
source "$root/scripts/wine-env"

exec 9>"$lock"
flock -n 9 || true  # else held by the scripts/test that runs this
check "a second claim waits, and says why" "second: another job is using this tree's Wine prefixes (scripts/test or scripts/benchmark); waiting for it to end" \
    "$(timeout 3 bash -c "source '$root/scripts/wine-env'; claim_tree_prefixes second; echo claimed" 2>&1)"

# A job that will not end: its server, and a program in it.
NOLV_TREE_CLAIMED= wine_start "$arch" wine-env-prefix
input=$(mktemp -u) && mkfifo "$input" && said=$(mktemp)
wine cmd /c pause <"$input" >"$said" 2>&1 9>&- &  # runs until its input ends
left=$!
exec 3>"$input" && rm -f "$input"
# Up once its prompt is out (emulated, a start takes seconds; a program not
# yet in the server would outlive its end).
for _ in $(seq 600); do [[ -s $said ]] && break; sleep 0.1; done
rm -f "$said"
check "the leftover server is ended, in one line" "wine-env: a Wine server was already running in build/$arch/wine-env-prefix, left by a job that did not end; ended it and its programs first" \
    "$(NOLV_TREE_CLAIMED=1 wine_start "$arch" wine-env-prefix 2>&1)"
for _ in $(seq 100); do kill -0 "$left" 2>/dev/null || break; sleep 0.1; done
check "its program has ended" ended "$(kill -0 "$left" 2>/dev/null && echo running || echo ended)"

# The new server, by its directory: named after the prefix's device and inode.
holds=none
for pid in $(pgrep wineserver); do
    [[ $(readlink "/proc/$pid/cwd") == */$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX")) ]] &&
        find "/proc/$pid/fd" -lname "$lock" 2>/dev/null | grep -q . && holds="the lock"
done
check "the server it started does not hold the tree's lock" none "$holds"
wine_stop
((failures == 0))

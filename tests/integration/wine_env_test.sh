#!/usr/bin/env bash
# A second job claiming the tree waits and says why; a claimed job's
# wine_start ends a server left running in its prefix, with its programs,
# and its own server does not hold the tree's lock. A scratch prefix.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd) lock=$root/build/.test-run.lock
source "$here/check.sh"

exec 9>"$lock"
flock -n 9 || true  # else held by the scripts/test that runs this
check "a second claim waits, and says why" "second: another job is using this tree's Wine prefixes (scripts/test or scripts/benchmark); waiting for it to end" \
    "$(timeout 3 bash -c "source '$root/scripts/wine-env'; claim_tree_prefixes second; echo claimed" 2>&1)"

export WINEPREFIX=$root/build/x86_64/wine-env-prefix input=$(mktemp -u)
mkdir -p "$WINEPREFIX" && mkfifo "$input"
wineserver -p </dev/null >/dev/null 2>&1 9>&-
wine cmd /c pause <"$input" >/dev/null 2>&1 9>&- &  # runs until its input ends
left=$!
exec 3>"$input" && rm -f "$input"
check "the leftover server is ended, in one line" "wine-env: a Wine server was already running in build/x86_64/wine-env-prefix, left by a job that did not end; ended it and its programs first" \
    "$(source "$root/scripts/wine-env" && NOLV_TREE_CLAIMED=1 wine_start x86_64 wine-env-prefix 2>&1)"
for _ in $(seq 100); do kill -0 "$left" 2>/dev/null || break; sleep 0.1; done
check "its program has ended" ended "$(kill -0 "$left" 2>/dev/null && echo running || echo ended)"

# The new server, by its directory: named after the prefix's device and inode.
holds=none
for pid in $(pgrep wineserver); do
    [[ $(readlink "/proc/$pid/cwd") == */$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX")) ]] &&
        find "/proc/$pid/fd" -lname "$lock" 2>/dev/null | grep -q . && holds="the lock"
done
check "the server it started does not hold the tree's lock" none "$holds"
wineserver -k </dev/null >/dev/null 2>&1
((failures == 0))

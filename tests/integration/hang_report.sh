#!/usr/bin/env bash
# Runs a program under Wine as ctest would, and if it still runs after
# SECONDS seconds (set below the test's time limit), prints to the
# program's error output, once, the stack of each of its threads, then of
# every thread of the prefix's processes (winedbg; Wine's clipboard
# manager runs in explorer.exe): a test that hangs then shows where, before
# the limit ends it. The program's own output and exit status pass through
# unchanged.
# With --gtest, the program is a test program that must also finish: one
# that ends with status 0 before its tests have fails (Wine may end a
# program with status 0 when the prefix's server goes away, and taskkill
# ends it so).
#   hang_report.sh [--gtest] SECONDS PROGRAM [ARGUMENTS...]
set -u
results=
if [[ $1 == --gtest ]]; then
    results=$(mktemp -u "${TMPDIR:-/tmp}/gtest-results.XXXXXXXX")
    shift
fi
after=$1
shift
self=$$
program=$(basename "$1")

# Line by line, so that no line of the program's lands inside one of these.
debugger() { timeout "$1" wine winedbg "${@:2}" 2>&1 | sed -u 's/\r$//'; }

report() {
    local commands
    commands=$(mktemp)
    # "info thread": a line per process, "PID NAME", then a tab-indented
    # line per thread, "TID PRIORITY NAME".
    debugger 10 --command "info thread" | awk -v program="${program,,}" '
        /^[0-9a-f]/ { ours = tolower($2) == program; if (ours) print "attach 0x" $1; next }
        ours && /^\t/ { print "bt 0x" $1 }
        END { print "detach" }' >"$commands"
    echo "hang_report: $program still running after $after s; its threads:"
    debugger 20 --file "$commands"
    echo "hang_report: the threads of every process of the prefix:"
    debugger 25 --command "bt all"
    rm -f "$commands"
}

(
    # Holds none of the runner's pipes, or it would wait for this too.
    exec </dev/null >/dev/null 2>&1
    start=$SECONDS
    while kill -0 "$self" 2>/dev/null; do
        if ((SECONDS - start >= after)); then
            report >>"/proc/$self/fd/2"
            exit 0
        fi
        sleep 1
    done
) &
[[ -n $results ]] || exec wine "$@"
# The test framework writes its results once the tests have run, and keeps
# a file of its own while they run (Z: is every prefix's drive for the
# Unix root).
windows=Z:${results//\//\\}
TEST_PREMATURE_EXIT_FILE=$windows.running wine "$@" "--gtest_output=xml:$windows.xml"
status=$?
if ((status == 0)) && [[ ! -s $results.xml || -e $results.running ]]; then
    echo "hang_report: $program ended with status 0 before its tests finished" >&2
    status=1
fi
rm -f "$results.xml" "$results.running"
exit "$status"

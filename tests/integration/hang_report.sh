#!/usr/bin/env bash
# Runs a program under Wine as ctest would, and if it still runs after
# SECONDS seconds (set below the test's time limit), prints the stack of
# every thread of the prefix's processes, the program's among them
# (winedbg's "bt all"), to the program's error output, once: a test that
# hangs then shows where, before the limit ends it. The program's own
# output and exit status pass through unchanged.
#   hang_report.sh SECONDS PROGRAM [ARGUMENTS...]
set -u
after=$1
shift
self=$$
(
    # Holds none of the runner's pipes, or it would wait for this too.
    exec </dev/null >/dev/null 2>&1
    start=$SECONDS
    while kill -0 "$self" 2>/dev/null; do
        if ((SECONDS - start >= after)); then
            {
                echo "hang_report: still running after ${after} s; the threads of the prefix's processes:"
                timeout 50 wine winedbg --command "bt all" 2>&1 | tr -d '\r'
            } >>"/proc/$self/fd/2"
            exit 0
        fi
        sleep 1
    done
) &
exec wine "$@"

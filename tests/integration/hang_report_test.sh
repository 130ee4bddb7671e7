#!/usr/bin/env bash
# The hang report against a program held on purpose: nolvhost calls the
# Sivat sample's getSivatMode in process, which sleeps 30 s. The report
# comes after 2 s and shows nolvhost's thread inside the sample (the
# 32-bit stacks end there: the sample keeps no frame pointers); the
# program then ends as it would have, its output and status unchanged.
# Then a test program that Wine ends with status 0 while its tests run
# (taskkill's status), which fails; that a finished one passes, every
# code-page test shows.
#   hang_report_test.sh BIN-DIR     (under the test prefix)
set -uo pipefail
bin=$1
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
wrapper=$(dirname "${BASH_SOURCE[0]}")/hang_report.sh
wine regsvr32 /s "$bin/sivat_sample.dll" || { echo "FAIL regsvr32 sivat_sample"; exit 1; }
output=$(bash "$wrapper" 2 "$bin/nolvhost.exe" load-sivat \
    mode hang:30000 </dev/null 2>&1 | tr -d '\r')
status=$?
check "the program's own output and status" "> load-sivat
  result=1
> mode \"hang:30000\"
  result=0
exit=0" "$(grep -E '^(> |  result=)' <<<"$output")
exit=$status"
# nolvhost's own part of the report.
threads=$(sed -n '/^hang_report: nolvhost.exe still running after 2 s; its threads:$/,/^hang_report: /p' \
    <<<"$output")
check "the report, nolvhost's thread in the sample" "1" "$(grep -c -m1 ' in sivat_sample ' <<<"$threads")"

log=$(mktemp)
bash "$wrapper" --gtest 60 "$bin/routines_test.exe" --gtest_filter='CountCommas.*' --gtest_repeat=-1 \
    >"$log" 2>&1 &
for _ in $(seq 600); do grep -q '^\[       OK \]' "$log" && break; sleep 0.1; done
wine taskkill /f /im routines_test.exe >/dev/null 2>&1
wait $!
status=$?
check "a test program ended with status 0 mid-run" \
    "1, hang_report: routines_test.exe ended with status 0 before its tests finished" \
    "$status, $(grep -a hang_report: "$log" | tr -d '\r')"
rm -f "$log"
exit $((failures > 0))

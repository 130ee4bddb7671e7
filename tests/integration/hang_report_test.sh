#!/usr/bin/env bash
# The hang report against a program held on purpose: nolvhost calls the
# Sivat sample's getSivatMode in process, which sleeps 30 s. The report
# comes after 2 s and shows nolvhost's thread inside the sample (the
# 32-bit stacks end there: the sample keeps no frame pointers); the
# program then ends as it would have, its output and status unchanged.
#   hang_report_test.sh BIN-DIR     (under the test prefix)
set -uo pipefail
bin=$1
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
wine regsvr32 /s "$bin/sivat_sample.dll" || { echo "FAIL regsvr32 sivat_sample"; exit 1; }
output=$(bash "$(dirname "${BASH_SOURCE[0]}")/hang_report.sh" 2 "$bin/nolvhost.exe" load-sivat \
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
exit $((failures > 0))

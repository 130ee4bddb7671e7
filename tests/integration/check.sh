# Sourced by the integration scripts: check NAME EXPECTED ACTUAL reports
# ok or FAIL with a diff, and counts the failures in $failures.
failures=0

check() {
    if [[ $2 == "$3" ]]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/     /'
        failures=$((failures + 1))
    fi
}

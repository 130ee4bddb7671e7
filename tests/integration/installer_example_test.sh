#!/usr/bin/env bash
# An installer as the library's host, end to end: the example's script built
# beside the built DLL (makensis, or Inno Setup's compiler under Wine) with
# no warning, the installer run silently with the sample components
# registered, and the results it writes compared with the example's
# expected results. A host tool that is not installed fails the test.
#   installer_example_test.sh nsis|inno BIN-DIR SOURCE-DIR WORK-DIR [ISCC.EXE]
set -uo pipefail
kind=$1
bin=$2
source_dir=$3
work=$4/$kind
iscc=${5:-}
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
example=$source_dir/examples/$kind

fail() { echo "FAIL $*"; exit 1; }
windows_path() { winepath -w "$1" 2>/dev/null; }
samples() {
    for sample in nolv_sample sivat_sample; do
        wine regsvr32 /s "$@" "$bin/$sample.dll" </dev/null >/dev/null 2>&1 || return 1
    done
}
wine_up() { wineserver -p </dev/null >/dev/null 2>&1; wine wineboot </dev/null >/dev/null 2>&1; }

case $kind in
    nsis) script=nolv_example.nsi
          command -v makensis >/dev/null \
              || fail "makensis not found: NSIS is not installed (scripts/bootstrap installs Debian's nsis)"
          trap 'samples /u' EXIT ;;
    inno) script=nolv_example.iss
          [[ -f $iscc ]] \
              || fail "$iscc not found: Inno Setup's compiler is not installed (scripts/bootstrap installs it)"
          # Setup makes its wizard's windows, hidden, even when very silent:
          # they take Wine's null display driver, in a prefix of their own
          # (without a driver, in the suite's, message boxes return at once).
          export WINEPREFIX=$4/inno-prefix
          mkdir -p "$WINEPREFIX"
          wine_up
          trap 'wineserver -k </dev/null >/dev/null 2>&1' EXIT
          # The prefix's desktop takes the driver when it starts: restart.
          if ! wine reg query 'HKCU\Software\Wine\Drivers' /v Graphics 2>/dev/null | grep -qw null; then
              wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
              wineserver -k; wineserver -w
              wine_up
          fi ;;
    *) fail "unknown installer kind $kind" ;;
esac

samples || fail "regsvr32 of the sample components"
rm -rf "$work" && mkdir -p "$work" || fail "cannot make $work"
cp "$bin/Nolv_Lib_Wrapper.dll" "$example"/* "$work/"
cd "$work" || exit 1
settings=$(windows_path "$source_dir/samples/nolv/settings.ini")
results=$(windows_path "$work/results.txt")

case $kind in
    nsis) makensis -V2 -WX "$script" || fail "makensis"
          wine nolv_example_setup.exe /S "/RESULTS=$results" "/SETTINGS=$settings" </dev/null
          check "the installer's exit status" 0 $?
          actual=$(iconv -f UTF-16 -t UTF-8 results.txt | tr -d '\r') ;;
    inno) wine "$iscc" "$script" </dev/null >iscc.log 2>&1 || { tr -d '\r' <iscc.log; fail "ISCC"; }
          ! grep -i -A1 warning iscc.log || fail "ISCC warned"
          wine nolv_example_setup.exe /VERYSILENT /SUPPRESSMSGBOXES "/results=$results" "/settings=$settings" \
              "/LOG=$(windows_path "$work/setup.log")" </dev/null
          status=$?
          check "the installer's exit status" 0 $status
          ((status == 0)) || tr -d '\r' <setup.log | tail -4  # Setup's own word on it
          check "the minimal session's line in Setup's log" \
              "LoadNolvSys: 1, number string: NS-0003-0004-X, sum: 18" \
              "$(tr -d '\r' <setup.log | sed -n 's/^.*   \(LoadNolvSys: \)/\1/p')"
          actual=$(tr -d '\r' <results.txt) ;;
esac
# The library's reason for the failed call both examples make, the one text
# that stands for @REASON@ in their expected results.
reason=$(cat <<'EOF'
Nolv_Lib_setSettingDataFileName: the Nolv component's setSettingDataFileName failed: 0x80020009 (Exception occurred.); the component says: the settings file "C:\nolv-example\missing.ini" cannot be read (Path not found.); the built-in settings are in use (source: Nolv sample component)
EOF
)
expected=$(<"$example/expected_results.txt")
check "the installer's results" "${expected//@REASON@/"$reason"}" "$actual"
exit $((failures > 0))

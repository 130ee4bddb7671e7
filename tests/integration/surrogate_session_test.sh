#!/usr/bin/env bash
# A 64-bit host with 32-bit-only components: the i686 sample servers
# registered with the 32-bit regsvr32 only, used by the x86_64 library
# through the system's DLL surrogate once nolvhost surrogate on has set it
# up. The demo's calls give what they give in process; without the
# surrogate the loads return 0 and the library says why; the doctor tells
# the two cases apart;
# surrogate_lifetime_test then cycles and kills the surrogates.
#   surrogate_session_test.sh BIN-DIR I686-BIN-DIR   (under the x86_64 test prefix)
set -uo pipefail
bin=$1
bin32=$2
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"

# Output goes through a file: a surrogate started by the run inherits the
# run's output handles and would keep a pipe open after the run ends.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
run() {
    wine "$@" </dev/null >"$out" 2>&1
    local status=$?
    tr -d '\r' <"$out"
    echo "exit=$status"
}
host() { run "$bin/nolvhost.exe" "$@"; }
# Of a doctor's report, the lines that are not "ok", its fix lines, and its exit status.
findings() { grep -v '^ok  ' | grep -v '^      cause:'; }
regsvr32_each() {
    for sample in nolv_sample sivat_sample; do wine regsvr32 /s "$@" "$sample.dll" </dev/null >/dev/null 2>&1; done
}
# The surrogates still running in this prefix.
surrogates() {
    local count=0 pid
    for pid in $(pgrep -x dllhost.exe); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && count=$((count + 1))
    done
    echo "$count"
}
end_surrogates() {
    local pid
    for pid in $(pgrep -x dllhost.exe); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && kill "$pid"
    done
}

demo=(load-nolv load-sivat number-string NS X 3 4
      parts-list "" 10 --clipboard "Bolt M4, Nut M6, Washer 4, Bolt M6"
      parts-list bolt 1 --clipboard "Bolt M4, Nut M6, Washer 4, Bolt M6"
      parts-list washer 0 --clipboard --null
      mode 12345 mode ABC-12 free)

# In process first: the 64-bit samples, for the results to compare with.
(cd "$bin" && regsvr32_each)
in_process=$(host "${demo[@]}")
class_of() { host doctor | sed -n "s/^ok    $1 CLSID: //p"; }
nolv_class=$(class_of NOLV_Lib.NOLVComClass)
sivat_class=$(class_of FendrelLib.SivatComClass)
(cd "$bin" && regsvr32_each /u)
check "the demo's calls in process" "result=18 first=4 second=14 clipboard=\"NS-0003-0004-X\"" \
    "$(grep -F 'clipboard="NS-' <<<"$in_process" | sed 's/^ *//')"

(cd "$bin32" && regsvr32_each)
check "registered for 32-bit processes only, no surrogate: the loads return 0" "\
> load-nolv
  result=0
  failure=0x80040154 LoadNolvSys: the Nolv component (NOLV_Lib.NOLVComClass) could not be created: 0x80040154 (Class not registered)
> load-sivat
  result=0
  failure=0x80040154 LoadSivatSys: the Sivat component (FendrelLib.SivatComClass) could not be created: 0x80040154 (Class not registered)
exit=0" "$(host load-nolv load-sivat)"
check "doctor without a surrogate" "\
FAIL  NOLV_Lib.NOLVComClass registration: registered for 32-bit processes only, no surrogate set up
      fix:   run nolvhost surrogate on as an administrator (the component then runs in the system's 32-bit surrogate process, each call crossing processes), or register the component's 64-bit build with the 64-bit regsvr32, or use a 32-bit host with the 32-bit Nolv_Lib_Wrapper.dll
FAIL  NOLV_Lib.NOLVComClass load through the library: LoadNolvSys returned 0
      fix:   fix what the checks of NOLV_Lib.NOLVComClass above found
FAIL  FendrelLib.SivatComClass registration: registered for 32-bit processes only, no surrogate set up
      fix:   run nolvhost surrogate on as an administrator (the component then runs in the system's 32-bit surrogate process, each call crossing processes), or register the component's 64-bit build with the 64-bit regsvr32, or use a 32-bit host with the 32-bit Nolv_Lib_Wrapper.dll
FAIL  FendrelLib.SivatComClass load through the library: LoadSivatSys returned 0
      fix:   fix what the checks of FendrelLib.SivatComClass above found
exit=1" "$(host doctor | findings | grep -E '^(FAIL|      fix|exit=)' | grep -v -E 'skip')"

check "surrogate on" "\
NOLV_Lib.NOLVComClass: HKEY_CLASSES_ROOT\\CLSID\\$nolv_class value AppID (32-bit view) set to $nolv_class
NOLV_Lib.NOLVComClass: HKEY_CLASSES_ROOT\\AppID\\$nolv_class value DllSurrogate (32-bit view) set to \"\" (the system's surrogate)
FendrelLib.SivatComClass: HKEY_CLASSES_ROOT\\CLSID\\$sivat_class value AppID (32-bit view) set to $sivat_class
FendrelLib.SivatComClass: HKEY_CLASSES_ROOT\\AppID\\$sivat_class value DllSurrogate (32-bit view) set to \"\" (the system's surrogate)
exit=0" "$(host surrogate on)"
check "surrogate on again changes nothing" "\
NOLV_Lib.NOLVComClass: surrogate already set up, nothing changed
FendrelLib.SivatComClass: surrogate already set up, nothing changed
exit=0" "$(host surrogate on)"

check "the demo's calls through the surrogate give the in-process results" "$in_process" "$(host "${demo[@]}")"
# Wine's surrogates outlive their clients (they never end by themselves,
# see surrogate_lifetime_test): what the count below sees. Each is ended
# once it has served its check.
check "the surrogates of the two loads are counted" "2" "$(surrogates)"
end_surrogates
report=$(host doctor)
end_surrogates
check "doctor with the surrogate" "\
doctor: all 25 checks passed
exit=0" "$(findings <<<"$report")"
check "doctor creates through the surrogate" "\
ok    NOLV_Lib.NOLVComClass registration: registered for 32-bit processes only, created out of process by the system's DLL surrogate (a 32-bit dllhost.exe)
ok    NOLV_Lib.NOLVComClass server architecture: x86 (32-bit), as the 32-bit surrogate process
ok    NOLV_Lib.NOLVComClass methods: all found: getNumberStr, getNameListCSV, AboutBox, editSettingData, setSettingDataFileName" \
    "$(grep -E '^ok    NOLV_Lib.NOLVComClass (registration|server architecture|methods)' <<<"$report")"

lifetime=$(run "$bin/surrogate_lifetime_test.exe")
check "surrogate_lifetime_test" "exit=0" "$(tail -1 <<<"$lifetime")"
[[ $lifetime == *"exit=0" ]] || echo "$lifetime"
grep -E '^(plain COM|library)[:,] ' <<<"$lifetime"
check "no surrogate left running" "0" "$(surrogates)"

check "surrogate off" "\
NOLV_Lib.NOLVComClass: HKEY_CLASSES_ROOT\\AppID\\$nolv_class value DllSurrogate (32-bit view) removed
NOLV_Lib.NOLVComClass: HKEY_CLASSES_ROOT\\AppID\\$nolv_class (32-bit view) removed
NOLV_Lib.NOLVComClass: HKEY_CLASSES_ROOT\\CLSID\\$nolv_class value AppID (32-bit view) removed
FendrelLib.SivatComClass: HKEY_CLASSES_ROOT\\AppID\\$sivat_class value DllSurrogate (32-bit view) removed
FendrelLib.SivatComClass: HKEY_CLASSES_ROOT\\AppID\\$sivat_class (32-bit view) removed
FendrelLib.SivatComClass: HKEY_CLASSES_ROOT\\CLSID\\$sivat_class value AppID (32-bit view) removed
exit=0" "$(host surrogate off)"
check "surrogate off again changes nothing" "\
NOLV_Lib.NOLVComClass: no surrogate set up, nothing changed
FendrelLib.SivatComClass: no surrogate set up, nothing changed
exit=0" "$(host surrogate off)"
check "without the surrogate the loads return 0 again" "\
> load-nolv
  result=0
  failure=0x80040154 LoadNolvSys: the Nolv component (NOLV_Lib.NOLVComClass) could not be created: 0x80040154 (Class not registered)
exit=0" "$(host load-nolv)"

(cd "$bin32" && regsvr32_each /u)
check "surrogate on refuses components not registered for 32-bit processes" "\
NOLV_Lib.NOLVComClass: not registered for 32-bit processes, nothing changed (a surrogate hosts the component's 32-bit DLL: register it first with the 32-bit regsvr32)
FendrelLib.SivatComClass: not registered for 32-bit processes, nothing changed (a surrogate hosts the component's 32-bit DLL: register it first with the 32-bit regsvr32)
exit=1" "$(host surrogate on)"
end_surrogates

exit $((failures > 0))

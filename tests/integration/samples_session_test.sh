#!/usr/bin/env bash
# End to end: the sample components registered with regsvr32, every
# nolvhost command run against them through the library, the results and
# clipboard texts checked (edit-settings before a settings file is set, so
# that the sample answers with a message box, which returns at once without
# a display, rather than an editor), and the library's reason after each
# call that failed, in the component's own words where it gave any; typed
# Greek and Japanese reach the UTF-16 functions unchanged, and texts come
# back readable; then the C example linked against the import library;
# then, unregistered, the load functions return 0 and say why. nolvhost
# doctor passes every check with the samples registered, and names the
# cause, the library's included, once they are unregistered or registered
# for 32-bit processes only.
#   samples_session_test.sh BIN-DIR SAMPLES-DIR     (under the test prefix)
set -uo pipefail
bin=$1
samples=$2
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"

host() { wine "$bin/nolvhost.exe" "$@" </dev/null 2>&1 | tr -d '\r'; }
# The report's lines that are not "ok", and the exit status.
doctor() {
    wine "$bin/nolvhost.exe" doctor "$@" </dev/null 2>&1 | tr -d '\r' | grep -v '^ok  '
    echo "exit=${PIPESTATUS[0]}"
}

for sample in nolv_sample sivat_sample; do
    wine regsvr32 /s "$bin/$sample.dll" || { echo "FAIL regsvr32 $sample"; exit 1; }
done
settings=$(winepath -w "$samples/nolv/settings.ini" 2>/dev/null)
# The system's messages inside the library's reasons are in the locale's
# language.
if [[ ${LC_ALL:-} == ja_JP.UTF-8 ]]; then
    path_not_found="パスが見つかりません。" invalid_window="ウィンドウ ハンドルが正しくありません。"
else
    path_not_found="Path not found." invalid_window="Invalid window handle."
fi

# The library's checks, one more for the 64-bit library's 32-bit surrogate.
checks=24
[[ -e $bin/nolvsurrogate32.exe ]] && checks=25
check "doctor with the samples registered" "\
doctor: all $checks checks passed
exit=0" "$(doctor)"
nolv_class=$(host doctor | sed -n 's/^ok    NOLV_Lib.NOLVComClass CLSID: //p')

check "every command of a session" "\
> load-nolv
  result=1
> load-sivat
  result=1
> edit-settings
  result=none
> number-string \"NS\" \"X\" 3 4
  result=18 first=4 second=14 clipboard=\"NS-0003-0004-X\"
> set-settings \"${settings//\\/\\\\}\"
  result=none
> number-string \"NS\" null 2147483647 0
  result=-2147483628 first=-2147483648 second=20 clipboard=\"NS-2147483647-000000\"
> parts-list \"m6\" 0 --clipboard \"Bolt M4, Nut M6, Washer 4, Bolt M6\"
  result=2 clipboard=\"Nut M6,Bolt M6\"
> parts-list \"bolt\" 0 --clipboard null
  result=2 clipboard=\"Bolt M4,Bolt M6\"
> parts-list \"zzz\" 0 --clipboard \"Bolt M4\"
  result=0 clipboard=\"\"
> mode null
  result=0
> mode \"0123\"
  result=1
> mode \"ABC-12\"
  result=2
> set-settings \"C:\\\\no\\\\such.ini\"
  result=none
  failure=0x80020009 Nolv_Lib_setSettingDataFileName: the Nolv component's setSettingDataFileName failed: 0x80020009 (Exception occurred.); the component says: the settings file \"C:\\no\\such.ini\" cannot be read ($path_not_found); the built-in settings are in use (source: Nolv sample component)
> about
  result=none
> sivat-about
  result=none
> wrapper-about
  result=none
  failure=0x80070578 Nolv_Lib_WrapperAboutBox: the message box could not be shown: 0x80070578 ($invalid_window)
> free
  result=none
> number-string \"NS\" \"X\" 3 4
  result=0 first=3 second=4 clipboard=\"\"
  failure=0x8000000E Nolv_Lib_getNumberStrRZ: the Nolv component is not loaded; call LoadNolvSys first: 0x8000000E (A method was called at an unexpected time.)
> mode \"x\"
  result=-3
  failure=0x8000000E Sivat_Lib_GetSivatMode: the Sivat component is not loaded; call LoadSivatSys first: 0x8000000E (A method was called at an unexpected time.)" \
"$(host load-nolv load-sivat edit-settings number-string NS X 3 4 set-settings "$settings" \
    number-string NS --null 2147483647 0 \
    parts-list m6 0 --clipboard "Bolt M4, Nut M6, Washer 4, Bolt M6" \
    parts-list bolt 0 --clipboard --null parts-list zzz 0 --clipboard "Bolt M4" \
    mode --null mode 0123 mode ABC-12 set-settings 'C:\no\such.ini' \
    about sivat-about wrapper-about free number-string NS X 3 4 mode x)"

if [[ ${LC_ALL:-} == ja_JP.UTF-8 ]]; then
    # Double-byte names cross as the code page's bytes (typed in UTF-16,
    # converted to the ANSI code page by nolvhost, as a host does)...
    check "double-byte texts under code page 932, byte for byte" "\
> load-nolv
  result=1
> load-sivat
  result=1
> parts-list \"\" 0 --clipboard \"\\x95\\\\\\x8E\\xA6,\\x83\\\\\\x83t\\x83g,\\x94\\\\\\x97\\xCD\"
  result=3 clipboard=\"\\x95\\\\\\x8E\\xA6,\\x83\\\\\\x83t\\x83g,\\x94\\\\\\x97\\xCD\"
> mode \"\\x95\\\\\\x8E\\xA6\"
  result=3
> free
  result=none" \
    "$(host --bytes load-nolv load-sivat parts-list "" 0 --clipboard "表示,ソフト,能力" mode "表示" free)"
    # ...and come back readable, the component's words about a file name
    # it was given in code page 932 included.
    check "double-byte texts under code page 932, readable" "\
> load-nolv
  result=1
> number-string-buf \"表示\" \"能力\" 1 2 64
  result=17 first=2 second=15 buffer=\"表示-0001-0002-能力\" needed=20
> set-settings \"C:\\\\無い\\\\設定.ini\"
  result=none
  failure=0x80020009 Nolv_Lib_setSettingDataFileName: the Nolv component's setSettingDataFileName failed: 0x80020009 (Exception occurred.); the component says: the settings file \"C:\\無い\\設定.ini\" cannot be read ($path_not_found); the built-in settings are in use (source: Nolv sample component)" \
    "$(host load-nolv number-string-buf 表示 能力 1 2 64 set-settings 'C:\無い\設定.ini')"
else
    # Typed Greek and Japanese reach the UTF-16 functions unchanged under
    # code page 1252, in the component's words too; the ANSI function gets
    # what code page 1252 makes of them. (Under LC_ALL=C, Wine drops the top
    # bit of every byte of the Unix command line before Windows sees it;
    # C.UTF-8 gives the same code page and reads the command line as UTF-8.)
    check "typed UTF-16 texts under code page 1252" "\
> load-nolv
  result=1
> load-sivat
  result=1
> number-string-bufw \"Ωμέγα\" \"日本\" 3 4 64
  result=22 first=4 second=18 buffer=\"Ωμέγα-0003-0004-日本\" needed=19
> mode-w \"ソフト\"
  result=3
> mode \"Oµ??a\"
  result=3
> set-settings-w \"C:\\\\Ωμέγα\\\\無い.ini\"
  result=none
  failure=0x80020009 Nolv_Lib_setSettingDataFileNameW: the Nolv component's setSettingDataFileName failed: 0x80020009 (Exception occurred.); the component says: the settings file \"C:\\Ωμέγα\\無い.ini\" cannot be read (Path not found.); the built-in settings are in use (source: Nolv sample component)" \
    "$(LC_ALL=C.UTF-8 host load-nolv load-sivat number-string-bufw Ωμέγα 日本 3 4 64 mode-w ソフト \
        mode Ωμέγα set-settings-w 'C:\Ωμέγα\無い.ini')"
fi

example=$(wine "$bin/c_host_example.exe" </dev/null 2>&1 | tr -d '\r'; echo "exit=${PIPESTATUS[0]}")
check "C host linked against the import library" "\
LoadNolvSys: 1
Nolv_Lib_getNumberStrRZ: 18 (first 4, second 14)
clipboard: NS-0003-0004-X
exit=0" "$example"

check "wrong invocation exits 2" "exit=2" "$(wine "$bin/nolvhost.exe" frobnicate </dev/null >/dev/null 2>&1; echo "exit=$?")"
check "a buffer larger than the host allocates is refused" "\
nolvhost: a buffer of 2147483647 characters is more than nolvhost allocates (at most 67108864)
exit=1" "$(wine "$bin/nolvhost.exe" number-string-bufw a b 1 2 2147483647 </dev/null 2>&1 >/dev/null | tr -d '\r'; echo "exit=${PIPESTATUS[0]}")"

for sample in nolv_sample sivat_sample; do wine regsvr32 /s /u "$bin/$sample.dll"; done
check "unregistered components do not load, and the library says why" "\
> load-nolv
  result=0
  failure=0x800401F3 LoadNolvSys: the Nolv component's ProgID NOLV_Lib.NOLVComClass was not found: 0x800401F3 (Invalid class string)
> load-sivat
  result=0
  failure=0x800401F3 LoadSivatSys: the Sivat component's ProgID FendrelLib.SivatComClass was not found: 0x800401F3 (Invalid class string)" \
    "$(host load-nolv load-sivat)"
check "doctor with the samples unregistered, the library's reason beside its own" "\
FAIL  NOLV_Lib.NOLVComClass registration: not registered
FAIL  NOLV_Lib.NOLVComClass load through the library: LoadNolvSys returned 0
      cause: the library says: LoadNolvSys: the Nolv component's ProgID NOLV_Lib.NOLVComClass was not found: 0x800401F3 (Invalid class string)
FAIL  FendrelLib.SivatComClass registration: not registered
FAIL  FendrelLib.SivatComClass load through the library: LoadSivatSys returned 0
      cause: the library says: LoadSivatSys: the Sivat component's ProgID FendrelLib.SivatComClass was not found: 0x800401F3 (Invalid class string)
exit=1" "$(doctor | grep -E '^(FAIL|exit=)|^      cause: the library says')"
check "doctor's wrong invocation exits 2" "exit=2" "$(doctor --library | grep '^exit=')"

# A 64-bit process cannot create a component registered for 32-bit
# processes only: the 32-bit sample, in the 32-bit registry view.
if [[ $bin == */x86_64/bin && -f $bin/../../i686/bin/nolv_sample.dll ]]; then
    wine reg add "HKCR\\NOLV_Lib.NOLVComClass\\CLSID" /ve /d "$nolv_class" /reg:32 /f >/dev/null 2>&1
    wine reg add "HKCR\\CLSID\\$nolv_class\\InprocServer32" /ve /reg:32 /f \
        /d "$(winepath -w "$bin/../../i686/bin/nolv_sample.dll" 2>/dev/null)" >/dev/null 2>&1
    check "doctor with the Nolv sample registered for 32-bit processes only" "\
FAIL  NOLV_Lib.NOLVComClass registration: registered for 32-bit processes only, no surrogate set up
FAIL  NOLV_Lib.NOLVComClass load through the library: LoadNolvSys returned 0
exit=1" "$(doctor | grep -E '^(FAIL  NOLV|exit=)')"
    wine reg delete "HKCR\\NOLV_Lib.NOLVComClass" /reg:32 /f >/dev/null 2>&1
    wine reg delete "HKCR\\CLSID\\$nolv_class" /reg:32 /f >/dev/null 2>&1
fi

exit $((failures > 0))

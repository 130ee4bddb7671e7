#!/usr/bin/env bash
# The import library with an MSVC-style toolchain: the host in
# tests/msvc_host, compiled by clang for the msvc target, linked by lld-link
# at its default settings (/SAFESEH on x86) against the shipped
# Nolv_Lib_Wrapper.lib and import libraries of its own for the system DLLs.
#   msvc_host_test.sh link ARCH SOURCE-DIR IMPORT-LIBRARY BIN-DIR WORK-DIR
#       builds BIN-DIR/msvc_host.exe and checks what it imports
#   msvc_host_test.sh run BIN-DIR
#       runs it under Wine against the sample components (under the test
#       prefix) and checks what it reports
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"

link() {
    local arch=$1 source=$2 library=$3 bin=$4 work=$5 machine target
    if [[ $arch == x86_64 ]]; then
        machine=i386:x86-64 target=x86_64-pc-windows-msvc
    else
        machine=i386 target=i686-pc-windows-msvc
    fi
    rm -rf "$work" && mkdir -p "$work" || exit 1
    for dll in kernel32 user32; do
        # x86_64 names carry no argument sizes.
        if [[ $arch == x86_64 ]]; then
            sed 's/@[0-9]*$//' "$source/tests/msvc_host/$dll.def" >"$work/$dll.def"
        else
            cp "$source/tests/msvc_host/$dll.def" "$work/$dll.def"
        fi
        llvm-dlltool -m "$machine" -k -d "$work/$dll.def" -l "$work/$dll.lib" || exit 1
    done
    clang --target="$target" -ffreestanding -O2 -Wall -Wextra -Werror -I "$source/include" \
        -c "$source/tests/msvc_host/msvc_host.c" -o "$work/msvc_host.obj" || exit 1
    rm -f "$bin/msvc_host.exe"
    check "lld-link links the host at its default settings" "" \
        "$(lld-link /nologo /nodefaultlib /subsystem:console /entry:HostMain "/out:$bin/msvc_host.exe" \
            "$work/msvc_host.obj" "$library" "$work/kernel32.lib" "$work/user32.lib" 2>&1)"
    [[ -f $bin/msvc_host.exe ]] || exit 1
    check "the host imports the library's undecorated names" "\
FreeNolvSys
LoadNolvSys
LoadSivatSys
Nolv_Lib_getNumberStrBuf
Nolv_Lib_getNumberStrRZ
Sivat_Lib_GetSivatMode
Sivat_Lib_GetSivatModeW" \
        "$(llvm-readobj --coff-imports "$bin/msvc_host.exe" 2>&1 |
            awk '/Name: /{dll=$2} dll=="Nolv_Lib_Wrapper.dll" && /Symbol: /{print $2}' | sort)"
    check "the host imports the system functions by their names" "\
CloseClipboard
ExitProcess
GetClipboardData
GetStdHandle
GlobalLock
GlobalUnlock
OpenClipboard
WriteFile" \
        "$(llvm-readobj --coff-imports "$bin/msvc_host.exe" 2>&1 |
            awk '/Name: /{dll=$2} dll!="Nolv_Lib_Wrapper.dll" && /Symbol: /{print $2}' | sort)"
}

run() {
    local bin=$1 sample
    for sample in nolv_sample sivat_sample; do
        wine regsvr32 /s "$bin/$sample.dll" || { echo "FAIL regsvr32 $sample"; exit 1; }
    done
    check "the host's calls against the sample components" "\
LoadNolvSys: 1
LoadSivatSys: 1
Nolv_Lib_getNumberStrRZ: 18
first: 4
second: 14
clipboard: NS-0003-0004-X
Sivat_Lib_GetSivatMode: 2
Nolv_Lib_getNumberStrBuf: 18
buffer: NS-0003-0004-X
needed: 15
Sivat_Lib_GetSivatModeW: 2
exit=0" "$(wine "$bin/msvc_host.exe" </dev/null 2>&1 | tr -d '\r'; echo "exit=${PIPESTATUS[0]}")"
    for sample in nolv_sample sivat_sample; do wine regsvr32 /s /u "$bin/$sample.dll"; done
}

"$@"
exit $((failures > 0))

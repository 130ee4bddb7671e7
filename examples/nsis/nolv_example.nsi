; An NSIS installer as a host of Nolv_Lib_Wrapper.dll: it carries the 32-bit
; library, calls it through the System plugin against the registered Nolv and
; Sivat components, and writes what every call gave to the file named by
; /RESULTS= (UTF-16). Build it beside Nolv_Lib_Wrapper.dll and run it:
;   makensis nolv_example.nsi
;   nolv_example_setup.exe /S /RESULTS=C:\results.txt /SETTINGS=C:\...\settings.ini
; The eleven functions that take ANSI text (m) are cdecl: ?c after the call.
; The buffer and UTF-16 (w) functions are stdcall, System::Call's default.
Unicode true
Name "Nolv_Lib_Wrapper example"
OutFile nolv_example_setup.exe
RequestExecutionLevel user
!include FileFunc.nsh

; readme-snippet: begin
; NSIS runs .onInit and the sections on different threads, and a component
; belongs to the thread that loaded it: load, call and free in one section.
; ?u unloads the library after the last call, so that $PLUGINSDIR can be
; removed.
Section "Number string"
  InitPluginsDir
  File "/oname=$PLUGINSDIR\Nolv_Lib_Wrapper.dll" Nolv_Lib_Wrapper.dll
  System::Call '$PLUGINSDIR\Nolv_Lib_Wrapper::LoadNolvSys() i .r0 ?c'
  System::Call '$PLUGINSDIR\Nolv_Lib_Wrapper::Nolv_Lib_getNumberStrBufW(w "NS", w "X", *i 3, *i 4, w .r1, i ${NSIS_MAX_STRLEN}, *i) i .r2'
  System::Call '$PLUGINSDIR\Nolv_Lib_Wrapper::FreeNolvSys() ?cu'
  DetailPrint "LoadNolvSys: $0, number string: $1, sum: $2"
SectionEnd
; readme-snippet: end

!define LIB '$PLUGINSDIR\Nolv_Lib_Wrapper'
Var results
!macro Report line
  FileWriteUTF16LE /BOM $results "${line}$\r$\n"
!macroend
!define Report '!insertmacro Report'

!include clipboard.nsh

Section "Session"
  ${GetParameters} $R9
  ${GetOptions} $R9 "/RESULTS=" $R8
  FileOpen $results $R8 w
  ; What the section above left in $0 to $2.
  ${Report} "section Number string: LoadNolvSys $0, $1, sum $2"
  ${GetOptions} $R9 "/SETTINGS=" $R8

  System::Call '${LIB}::LoadNolvSys() i .r0 ?c'
  System::Call '${LIB}::LoadSivatSys() i .r1 ?c'
  ${Report} "LoadNolvSys $0, LoadSivatSys $1"
  IfSilent settings ; the dialogs wait for someone to close them
    System::Call '${LIB}::Nolv_Lib_WrapperAboutBox() ?c'
    System::Call '${LIB}::Nolv_Lib_AboutBox() ?c'
    System::Call '${LIB}::Nolv_Lib_SivatAboutBox() ?c'
    System::Call '${LIB}::Nolv_Lib_editSettingData() ?c'
  settings:
  System::Call '${LIB}::Nolv_Lib_setSettingDataFileName(m R8) ?c'
  System::Call '${LIB}::Nolv_Lib_getNumberStrRZ(m "NS", m "X", *i 3 r1, *i 4 r2) i .r0 ?c'
  Call ClipboardText
  ${Report} "Nolv_Lib_getNumberStrRZ $0, first $1, second $2, clipboard $R0"
  StrCpy $R0 "Bolt M4, Nut M6, Washer 4, Bolt M6"
  Call SetClipboardText
  System::Call '${LIB}::Nolv_Lib_getPartsNameListRZClip(m "", i 10) i .r0 ?c'
  Call ClipboardText
  ${Report} "Nolv_Lib_getPartsNameListRZClip $0, clipboard $R0"
  System::Call '${LIB}::Sivat_Lib_GetSivatMode(m "12345") i .r0 ?c'
  System::Call '${LIB}::Sivat_Lib_GetSivatMode(m "ABC-12") i .r1 ?c'
  System::Call '${LIB}::Sivat_Lib_GetSivatMode(m "café") i .r2 ?c'
  ${Report} "Sivat_Lib_GetSivatMode $0 $1 $2"

  System::Call '${LIB}::Nolv_Lib_getNumberStrBuf(m "NS", m "X", *i 3, *i 4, m .r1, i 8, *i .r2) i .r0'
  ${Report} "Nolv_Lib_getNumberStrBuf $0, $1, needed $2"
  System::Call '${LIB}::Nolv_Lib_getNumberStrBufW(w "Ωμέγα", w "表示", *i 1, *i 2, w .r1, i ${NSIS_MAX_STRLEN}, *i .r2) i .r0'
  ${Report} "Nolv_Lib_getNumberStrBufW $0, $1, needed $2"
  System::Call '${LIB}::Nolv_Lib_getPartsNameListBuf(m "bolt", m "Bolt M4, Nut M6, Bolt M6", i 0, m .r1, i ${NSIS_MAX_STRLEN}, *i .r2) i .r0'
  ${Report} "Nolv_Lib_getPartsNameListBuf $0, $1, needed $2"
  System::Call '${LIB}::Nolv_Lib_getPartsNameListBufW(w "", w "ボルト,ナット,座金", i 0, w .r1, i ${NSIS_MAX_STRLEN}, *i .r2) i .r0'
  ${Report} "Nolv_Lib_getPartsNameListBufW $0, $1, needed $2"
  System::Call '${LIB}::Sivat_Lib_GetSivatModeW(w "ソフト") i .r0'
  ${Report} "Sivat_Lib_GetSivatModeW $0"

  ; The library never throws: a failed call's reason is asked for next.
  System::Call '${LIB}::Nolv_Lib_setSettingDataFileName(m "C:\nolv-example\missing.ini") ?c'
  System::Call '${LIB}::Nolv_Lib_GetLastFailure(m .r1, i ${NSIS_MAX_STRLEN}, *i .r2) i .r0'
  IntFmt $0 "0x%08X" $0
  ${Report} "Nolv_Lib_GetLastFailure $0, $1"
  System::Call '${LIB}::FreeNolvSys() ?cu'
  FileClose $results
SectionEnd

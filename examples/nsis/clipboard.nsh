; For a host of the eleven functions, which deliver their text on the
; clipboard: reads and sets its text (CF_TEXT, 1) in the ANSI code page,
; through $R0. Uses $8 and $9.

Function ClipboardText
  System::Call 'user32::OpenClipboard(p 0)'
  System::Call 'user32::GetClipboardData(i 1) p .r9'
  System::Call 'kernel32::GlobalLock(p r9) m .R0'
  System::Call 'kernel32::GlobalUnlock(p r9)'
  System::Call 'user32::CloseClipboard()'
FunctionEnd

Function SetClipboardText
  System::Call 'user32::OpenClipboard(p 0)'
  System::Call 'user32::EmptyClipboard()'
  StrLen $9 $R0
  IntOp $9 $9 * 2 ; an ANSI character takes up to two bytes
  IntOp $9 $9 + 1
  System::Call 'kernel32::GlobalAlloc(i 2, i r9) p .r9'
  System::Call 'kernel32::GlobalLock(p r9) p .r8'
  System::Call 'kernel32::lstrcpyA(p r8, m R0)'
  System::Call 'kernel32::GlobalUnlock(p r9)'
  System::Call 'user32::SetClipboardData(i 1, p r9)'
  System::Call 'user32::CloseClipboard()'
FunctionEnd

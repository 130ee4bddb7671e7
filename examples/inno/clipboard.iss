// For a host of the eleven functions, which deliver their text on the
// clipboard: reads and sets its text (CF_TEXT, 1) in the ANSI code page.
// #include it in [Code].
function OpenClipboard(Owner: Cardinal): Boolean; external 'OpenClipboard@user32.dll stdcall';
function EmptyClipboard: Boolean; external 'EmptyClipboard@user32.dll stdcall';
function CloseClipboard: Boolean; external 'CloseClipboard@user32.dll stdcall';
function GetClipboardData(Format: Cardinal): Cardinal; external 'GetClipboardData@user32.dll stdcall';
function SetClipboardData(Format, Memory: Cardinal): Cardinal; external 'SetClipboardData@user32.dll stdcall';
function GlobalAlloc(Flags, Bytes: Cardinal): Cardinal; external 'GlobalAlloc@kernel32.dll stdcall';
function GlobalLock(Memory: Cardinal): Cardinal; external 'GlobalLock@kernel32.dll stdcall';
function GlobalUnlock(Memory: Cardinal): Boolean; external 'GlobalUnlock@kernel32.dll stdcall';
function lstrlenA(Text: Cardinal): Integer; external 'lstrlenA@kernel32.dll stdcall';
function CopyFromMemory(Target: AnsiString; Source: Cardinal; Size: Integer): Cardinal;
  external 'lstrcpynA@kernel32.dll stdcall';
function CopyToMemory(Target: Cardinal; Source: AnsiString): Cardinal; external 'lstrcpyA@kernel32.dll stdcall';

function ClipboardText: AnsiString;
var Memory, Text: Cardinal;
begin
  Result := '';
  if not OpenClipboard(0) then Exit;
  Memory := GetClipboardData(1);
  Text := GlobalLock(Memory);
  if Text <> 0 then begin
    Result := StringOfChar(' ', lstrlenA(Text));
    CopyFromMemory(Result, Text, Length(Result) + 1);
    GlobalUnlock(Memory);
  end;
  CloseClipboard;
end;

procedure SetClipboardText(const Text: AnsiString);
var Memory: Cardinal;
begin
  if not OpenClipboard(0) then Exit;
  EmptyClipboard;
  Memory := GlobalAlloc(2 { GMEM_MOVEABLE }, Length(Text) + 1);
  CopyToMemory(GlobalLock(Memory), Text);
  GlobalUnlock(Memory);
  SetClipboardData(1, Memory);
  CloseClipboard;
end;

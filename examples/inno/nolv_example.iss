; An Inno Setup 6 installer as a host of Nolv_Lib_Wrapper.dll: it carries the
; 32-bit library, calls it from [Code] against the registered Nolv and Sivat
; components, and writes what every call gave to the file named by /results=
; (UTF-8). Compile it beside Nolv_Lib_Wrapper.dll and run it:
;   ISCC nolv_example.iss
;   nolv_example_setup.exe /VERYSILENT /SUPPRESSMSGBOXES /results=C:\results.txt /settings=C:\...\settings.ini
; The eleven functions that take ANSI text (AnsiString) are cdecl; the buffer
; and UTF-16 (String) ones are stdcall.
[Setup]
AppName=Nolv_Lib_Wrapper example
AppVersion=1.0
CreateAppDir=no
Uninstallable=no
PrivilegesRequired=lowest
OutputDir=.
OutputBaseFilename=nolv_example_setup

; readme-snippet: begin
[Files]
; Unpacked to Setup's temporary folder for [Code], not installed.
Source: "Nolv_Lib_Wrapper.dll"; Flags: dontcopy

[Code]
function LoadNolvSys: Integer; external 'LoadNolvSys@files:Nolv_Lib_Wrapper.dll cdecl';
procedure FreeNolvSys; external 'FreeNolvSys@files:Nolv_Lib_Wrapper.dll cdecl';
function Nolv_Lib_getNumberStrBufW(FirstText, SecondText: String; var First, Second: Integer;
  Buffer: String; Size: Integer; var Needed: Integer): Integer;
  external 'Nolv_Lib_getNumberStrBufW@files:Nolv_Lib_Wrapper.dll stdcall';

<event('InitializeSetup')>
function LogNumberString: Boolean;
var Loaded, First, Second, Sum, Needed: Integer; Text: String;
begin
  Loaded := LoadNolvSys;
  First := 3; Second := 4; Text := StringOfChar(#0, 256);
  Sum := Nolv_Lib_getNumberStrBufW('NS', 'X', First, Second, Text, Length(Text), Needed);
  FreeNolvSys;
  Log(Format('LoadNolvSys: %d, number string: %s, sum: %d', [Loaded, Copy(Text, 1, Needed - 1), Sum]));
  Result := True;
end;
// readme-snippet: end

#include "clipboard.iss"

function LoadSivatSys: Integer; external 'LoadSivatSys@files:Nolv_Lib_Wrapper.dll cdecl';
procedure Nolv_Lib_setSettingDataFileName(FileName: AnsiString);
  external 'Nolv_Lib_setSettingDataFileName@files:Nolv_Lib_Wrapper.dll cdecl';
function Nolv_Lib_getNumberStrRZ(FirstText, SecondText: AnsiString; var First, Second: Integer): Integer;
  external 'Nolv_Lib_getNumberStrRZ@files:Nolv_Lib_Wrapper.dll cdecl';
function Nolv_Lib_getPartsNameListRZClip(Text: AnsiString; Limit: Integer): Integer;
  external 'Nolv_Lib_getPartsNameListRZClip@files:Nolv_Lib_Wrapper.dll cdecl';
function Sivat_Lib_GetSivatMode(Text: AnsiString): Integer;
  external 'Sivat_Lib_GetSivatMode@files:Nolv_Lib_Wrapper.dll cdecl';
procedure Nolv_Lib_WrapperAboutBox; external 'Nolv_Lib_WrapperAboutBox@files:Nolv_Lib_Wrapper.dll cdecl';
procedure Nolv_Lib_AboutBox; external 'Nolv_Lib_AboutBox@files:Nolv_Lib_Wrapper.dll cdecl';
procedure Nolv_Lib_SivatAboutBox; external 'Nolv_Lib_SivatAboutBox@files:Nolv_Lib_Wrapper.dll cdecl';
procedure Nolv_Lib_editSettingData; external 'Nolv_Lib_editSettingData@files:Nolv_Lib_Wrapper.dll cdecl';

function Nolv_Lib_getNumberStrBuf(FirstText, SecondText: AnsiString; var First, Second: Integer;
  Buffer: AnsiString; Size: Integer; var Needed: Integer): Integer;
  external 'Nolv_Lib_getNumberStrBuf@files:Nolv_Lib_Wrapper.dll stdcall';
function Nolv_Lib_getPartsNameListBufW(Text, Input: String; Limit: Integer;
  Buffer: String; Size: Integer; var Needed: Integer): Integer;
  external 'Nolv_Lib_getPartsNameListBufW@files:Nolv_Lib_Wrapper.dll stdcall';
procedure Nolv_Lib_setSettingDataFileNameW(FileName: String);
  external 'Nolv_Lib_setSettingDataFileNameW@files:Nolv_Lib_Wrapper.dll stdcall';
function Sivat_Lib_GetSivatModeW(Text: String): Integer;
  external 'Sivat_Lib_GetSivatModeW@files:Nolv_Lib_Wrapper.dll stdcall';
function Nolv_Lib_GetLastFailureW(Buffer: String; Size: Integer; var Needed: Integer): Integer;
  external 'Nolv_Lib_GetLastFailureW@files:Nolv_Lib_Wrapper.dll stdcall';

procedure Report(const Line: String);
var Lines: TArrayOfString;
begin
  SetArrayLength(Lines, 1);
  Lines[0] := Line;
  SaveStringsToUTF8FileWithoutBOM(ExpandConstant('{param:results}'), Lines, True);
end;

// The text the library put in a buffer: up to its NUL.
function Delivered(const Buffer: String): String;
begin
  Result := Copy(Buffer, 1, Pos(#0, Buffer) - 1);
end;

// A thousand number strings into one buffer; the counter that the component
// keeps in First tells each call's text.
function WrongNumberStrings: Integer;
var I, First, Second, Sum, Needed: Integer; Text, Expected: String;
begin
  Result := 0;
  Text := StringOfChar(#0, 64);
  for I := 1 to 1000 do begin
    First := I; Second := 0;
    Sum := Nolv_Lib_getNumberStrBufW('N', '', First, Second, Text, Length(Text), Needed);
    Expected := Format('N-%.6d-000000', [I]);
    if (Delivered(Text) <> Expected) or (Needed <> Length(Expected) + 1) or (First <> I + 1)
       or (Second <> Length(Expected)) or (Sum <> First + Second) then
      Result := Result + 1;
  end;
end;

procedure CurStepChanged(CurStep: TSetupStep);
var First, Second, Sum, Needed, Status: Integer; AnsiText: AnsiString; Text: String;
begin
  if CurStep <> ssInstall then Exit;
  Report(Format('LoadNolvSys %d, LoadSivatSys %d', [LoadNolvSys, LoadSivatSys]));
  if not WizardSilent then begin // the dialogs wait for someone to close them
    Nolv_Lib_WrapperAboutBox; Nolv_Lib_AboutBox; Nolv_Lib_SivatAboutBox; Nolv_Lib_editSettingData;
  end;
  Nolv_Lib_setSettingDataFileNameW(ExpandConstant('{param:settings}'));
  First := 3; Second := 4;
  Sum := Nolv_Lib_getNumberStrRZ('NS', 'X', First, Second);
  Report(Format('Nolv_Lib_getNumberStrRZ %d, first %d, second %d, clipboard %s', [Sum, First, Second, ClipboardText]));
  SetClipboardText('Bolt M4, Nut M6, Washer 4, Bolt M6');
  Sum := Nolv_Lib_getPartsNameListRZClip('bolt', 1);
  Report(Format('Nolv_Lib_getPartsNameListRZClip %d, clipboard %s', [Sum, ClipboardText]));
  Report(Format('Sivat_Lib_GetSivatMode %d %d %d', [Sivat_Lib_GetSivatMode('12345'),
    Sivat_Lib_GetSivatMode('ABC-12'), Sivat_Lib_GetSivatMode('café')]));

  First := 3; Second := 4; AnsiText := StringOfChar(#0, 8);
  Sum := Nolv_Lib_getNumberStrBuf('NS', 'X', First, Second, AnsiText, Length(AnsiText), Needed);
  Report(Format('Nolv_Lib_getNumberStrBuf %d, %s, needed %d', [Sum, Delivered(AnsiText), Needed]));
  Text := StringOfChar(#0, 256);
  Sum := Nolv_Lib_getPartsNameListBufW('', 'ボルト,ナット,座金', 0, Text, Length(Text), Needed);
  Report(Format('Nolv_Lib_getPartsNameListBufW %d, %s, needed %d', [Sum, Delivered(Text), Needed]));
  Report(Format('Sivat_Lib_GetSivatModeW %d', [Sivat_Lib_GetSivatModeW('ソフト')]));
  Report(Format('Nolv_Lib_getNumberStrBufW, 1000 calls: %d wrong', [WrongNumberStrings]));

  // The library never throws: a failed call's reason is asked for next.
  Nolv_Lib_setSettingDataFileName('C:\nolv-example\missing.ini');
  Status := Nolv_Lib_GetLastFailureW(Text, Length(Text), Needed);
  if Needed > Length(Text) then begin // cut: again, with room for all of it
    Text := StringOfChar(#0, Needed);
    Status := Nolv_Lib_GetLastFailureW(Text, Length(Text), Needed);
  end;
  Report(Format('Nolv_Lib_GetLastFailureW 0x%.8x, %s', [Status, Delivered(Text)]));
  FreeNolvSys;
end;

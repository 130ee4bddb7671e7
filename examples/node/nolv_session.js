// A Node.js host of Nolv_Lib_Wrapper.dll through the FFI library koffi: both
// components, the clipboard functions (cdecl), the buffer and UTF-16 ones
// (stdcall), texts outside the ANSI code page, and why a call failed.
//
//     npm install koffi
//     node nolv_session.js
//
// Run it with the node.exe of the DLL's bitness (the 32-bit Node.js for the
// i686 DLL), the DLL in the current folder or on PATH, and the Nolv and
// Sivat components registered.
//
// koffi hands a string to a `const char *` parameter as UTF-8, but the ANSI
// functions read the ANSI code page: give them ASCII only, and any other
// text to the W functions, which take UTF-16 (`const char16_t *`).

// readme-snippet: begin
const koffi = require('koffi');

const lib = koffi.load('Nolv_Lib_Wrapper.dll');
const LoadNolvSys = lib.func('int __cdecl LoadNolvSys(void)');
const FreeNolvSys = lib.func('void __cdecl FreeNolvSys(void)');
const getNumberStrBufW = lib.func('int __stdcall Nolv_Lib_getNumberStrBufW(' +
    'const char16_t *firstText, const char16_t *secondText, _Inout_ int *first, _Inout_ int *second, ' +
    '_Out_ char16_t *buffer, int size, _Out_ int *needed)');

if (LoadNolvSys() === 1) {
    const first = [3], second = [4], needed = [0];
    const text = ['\0'.repeat(64)]; // room for 64 UTF-16 units, the NUL included
    const sum = getNumberStrBufW('NS', 'X', first, second, text, 64, needed);
    console.log(`number string: ${text[0]} (sum ${sum}, first ${first[0]}, second ${second[0]})`);
}
FreeNolvSys();
// readme-snippet: end

// The whole session. The eleven functions that came first are cdecl, the
// buffer and W ones stdcall; on x86_64 the two are one convention.
const { readClipboardText, writeClipboardText } = require('./clipboard');

const LoadSivatSys = lib.func('int __cdecl LoadSivatSys(void)');
const getNumberStrRZ = lib.func('int __cdecl Nolv_Lib_getNumberStrRZ(' +
    'const char *firstText, const char *secondText, _Inout_ int *first, _Inout_ int *second)');
const getPartsNameListRZClip = lib.func('int __cdecl Nolv_Lib_getPartsNameListRZClip(const char *text, int limit)');
const GetSivatMode = lib.func('int __cdecl Sivat_Lib_GetSivatMode(const char *text)');
const getNumberStrBuf = lib.func('int __stdcall Nolv_Lib_getNumberStrBuf(' +
    'const char *firstText, const char *secondText, _Inout_ int *first, _Inout_ int *second, ' +
    '_Out_ char *buffer, int size, _Out_ int *needed)');
const getPartsNameListBufW = lib.func('int __stdcall Nolv_Lib_getPartsNameListBufW(' +
    'const char16_t *text, const char16_t *input, int limit, _Out_ char16_t *buffer, int size, _Out_ int *needed)');
const GetSivatModeW = lib.func('int __stdcall Sivat_Lib_GetSivatModeW(const char16_t *text)');
const setSettingDataFileNameW = lib.func('void __stdcall Nolv_Lib_setSettingDataFileNameW(const char16_t *fileName)');
const GetLastFailureW = lib.func('int __stdcall Nolv_Lib_GetLastFailureW(_Out_ char16_t *buffer, int size, _Out_ int *needed)');

// Calls a buffer function with room for size characters, the NUL included.
function intoBuffer(size, call) {
    const text = ['\0'.repeat(size)], needed = [0];
    const result = call(text, size, needed);
    return `${result}, "${text[0]}", needed ${needed[0]}`;
}

const loads = [LoadNolvSys(), LoadSivatSys()];
console.log(`LoadNolvSys: ${loads[0]}, LoadSivatSys: ${loads[1]}`);
if (loads.some((loaded) => loaded !== 1)) {
    FreeNolvSys();
    process.exit(1);
}

// The clipboard functions deliver their text on the clipboard; the parts
// list also takes its input from there.
const first = [3], second = [4];
const sum = getNumberStrRZ('NS', 'X', first, second);
console.log(`Nolv_Lib_getNumberStrRZ: ${sum}, first ${first[0]}, second ${second[0]}, clipboard "${readClipboardText()}"`);
writeClipboardText('Bolt M4, Nut M6, Washer 4, Bolt M6');
const fields = getPartsNameListRZClip('bolt', 0);
console.log(`Nolv_Lib_getPartsNameListRZClip: ${fields}, clipboard "${readClipboardText()}"`);
console.log(`Sivat_Lib_GetSivatMode("ABC-12"): ${GetSivatMode('ABC-12')}`);

// The buffer functions leave the clipboard alone. A text that does not fit
// is cut where a character ends, and needed says what the whole one takes.
for (const size of [64, 8]) {
    console.log(`Nolv_Lib_getNumberStrBuf, ${size} bytes: ` +
        intoBuffer(size, (text, room, needed) => getNumberStrBuf('NS', 'X', [3], [4], text, room, needed)));
}

// The W functions carry any character, whatever the ANSI code page.
console.log('Nolv_Lib_getNumberStrBufW: ' +
    intoBuffer(64, (text, room, needed) => getNumberStrBufW('Ωμέγα', '表示', [1], [2], text, room, needed)));
console.log('Nolv_Lib_getPartsNameListBufW: ' +
    intoBuffer(64, (text, room, needed) => getPartsNameListBufW('', 'ボルト,ナット,座金', 0, text, room, needed)));
console.log(`Sivat_Lib_GetSivatModeW("表示"): ${GetSivatModeW('表示')}`);

// Why a call failed: the component refuses a settings file that is not there.
setSettingDataFileNameW('C:\\nolv\\missing.ini');
const hex = (status) => `0x${(status >>> 0).toString(16).toUpperCase().padStart(8, '0')}`;
const failure = ['\0'.repeat(512)];
console.log(`Nolv_Lib_GetLastFailureW: ${hex(GetLastFailureW(failure, 512, null))}, "${failure[0]}"`);

FreeNolvSys();
console.log('FreeNolvSys: done');

// The clipboard as the clipboard exports use it, through user32 and kernel32.
// Windows converts between CF_TEXT, which the library reads and writes in
// the ANSI code page, and CF_UNICODETEXT, which is what a JavaScript string
// is: reading and writing the latter keeps every character the code page has.
const koffi = require('koffi');

const CF_UNICODETEXT = 13;
const GMEM_MOVEABLE = 0x0002;

const user32 = koffi.load('user32.dll');
const kernel32 = koffi.load('kernel32.dll');
const OpenClipboard = user32.func('bool __stdcall OpenClipboard(void *owner)');
const CloseClipboard = user32.func('bool __stdcall CloseClipboard(void)');
const EmptyClipboard = user32.func('bool __stdcall EmptyClipboard(void)');
const GetClipboardData = user32.func('void *__stdcall GetClipboardData(uint format)');
const SetClipboardData = user32.func('void *__stdcall SetClipboardData(uint format, void *memory)');
const GlobalAlloc = kernel32.func('void *__stdcall GlobalAlloc(uint flags, uintptr_t bytes)');
const GlobalFree = kernel32.func('void *__stdcall GlobalFree(void *memory)');
const GlobalLock = kernel32.func('void *__stdcall GlobalLock(void *memory)');
const GlobalUnlock = kernel32.func('bool __stdcall GlobalUnlock(void *memory)');

function withClipboard(use) {
    if (!OpenClipboard(null)) throw new Error('the clipboard is held by another program');
    try {
        return use();
    } finally {
        CloseClipboard();
    }
}

// The clipboard's text, or null when it holds none.
function readClipboardText() {
    return withClipboard(() => {
        const memory = GetClipboardData(CF_UNICODETEXT);
        if (!memory) return null;
        try {
            return koffi.decode.string16(GlobalLock(memory));
        } finally {
            GlobalUnlock(memory);
        }
    });
}

// Replaces the clipboard's content with the text.
function writeClipboardText(text) {
    withClipboard(() => {
        const units = text.length + 1;
        const memory = GlobalAlloc(GMEM_MOVEABLE, 2 * units);
        if (!memory) throw new Error('no memory for the clipboard text');
        koffi.encode(GlobalLock(memory), koffi.array('char16_t', units, 'String'), text);
        GlobalUnlock(memory);
        EmptyClipboard();
        // Once set, the memory is the clipboard's; until then it is ours.
        if (!SetClipboardData(CF_UNICODETEXT, memory)) {
            GlobalFree(memory);
            throw new Error('the clipboard refused the text');
        }
    });
}

module.exports = { readClipboardText, writeClipboardText };

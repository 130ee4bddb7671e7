/* A minimal C host: linked against the import library, it loads the Nolv
 * component, asks for a number string and prints it from the clipboard. */
/* readme-snippet: begin */
#include <stdio.h>
#include <windows.h>

#include "Nolv_Lib_Wrapper.h"

static void PrintClipboardText(void) {
    if (!OpenClipboard(NULL)) {
        puts("clipboard: not available");
        return;
    }
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? (const char*)GlobalLock(data) : NULL;
    printf("clipboard: %s\n", text ? text : "(no text)");
    if (text) GlobalUnlock(data);
    CloseClipboard();
}

int main(void) {
    int first = 3;
    int second = 4;
    int loaded = LoadNolvSys();
    printf("LoadNolvSys: %d\n", loaded);
    if (loaded == 1) {
        int sum = Nolv_Lib_getNumberStrRZ("NS", "X", &first, &second);
        printf("Nolv_Lib_getNumberStrRZ: %d (first %d, second %d)\n", sum, first, second);
        PrintClipboardText();
    }
    FreeNolvSys();
    return loaded == 1 ? 0 : 1;
}
/* readme-snippet: end */

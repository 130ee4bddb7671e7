/* Nolv_Lib_Wrapper.dll: the Nolv and Sivat automation components for hosts
 * that call plain C functions. All functions are cdecl; texts are
 * NUL-terminated strings in the system's ANSI code page and may be null.
 * Text results are delivered on the clipboard as CF_TEXT. Make every call,
 * from loading a component to FreeNolvSys, from one thread. */
#ifndef NOLV_LIB_WRAPPER_H
#define NOLV_LIB_WRAPPER_H

#ifdef __cplusplus
extern "C" {
#endif

/* Component lifetime. The load functions return 1 when the component was
 * created, 0 when it was not (not registered, not creatable, no automation
 * interface), -1 on an internal failure. FreeNolvSys releases both
 * components and ends the library's use of COM on the thread. */
int __cdecl LoadNolvSys(void);
int __cdecl LoadSivatSys(void);
void __cdecl FreeNolvSys(void);

/* Number string: the component's text goes to the clipboard; the component
 * may change *first and *second, and the result is their sum afterwards
 * (0, with "" on the clipboard, when the call could not be made). */
int __cdecl Nolv_Lib_getNumberStrRZ(const char* firstText, const char* secondText,
                                    int* first, int* second);

/* Parts-name list: the clipboard's text is the input; the comma-separated
 * list replaces it, and the result is its number of fields (0 for an empty
 * list or when the call could not be made). */
int __cdecl Nolv_Lib_getPartsNameListRZClip(const char* text, int limit);

/* Mode of a text: the component's value; -3 when the component has no such
 * method; -1 when the call failed. */
int __cdecl Sivat_Lib_GetSivatMode(const char* text);

/* Dialogs and settings, passed straight to the components. */
void __cdecl Nolv_Lib_AboutBox(void);
void __cdecl Nolv_Lib_SivatAboutBox(void); /* the Sivat component's About box */
void __cdecl Nolv_Lib_editSettingData(void);
void __cdecl Nolv_Lib_setSettingDataFileName(const char* fileName);

/* The library's own About box, with its version text; needs no component. */
void __cdecl Nolv_Lib_WrapperAboutBox(void);

#ifdef __cplusplus
}
#endif

#endif

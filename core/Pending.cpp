// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "core/Core.h"

const char ProductKey[] = "Software\\Hx_";
int ListPushFront(StringList*, const char*) { return 0; }
int ListCount(StringList) { return 0; }
char* ListGet(StringList, int, char*) { return 0; }
int ListReplace(StringList, int, const char*) { return 1; }
int ListPopFront(StringList*) { return 0; }
int ListClear(StringList*) { return 0; }
int ListFillFromFolder(StringList*, const char*, const char*) { return 0; }
int ListVisibleWindows(StringList*) { return 0; }
int ListWindowTitles(StringList, StringList*) { return 0; }
int ListFindPrefix(StringList, const char*, BYTE) { return -1; }
int ListRemoveTitle(StringList*, const char*) { return 0; }
int ListSort(StringList, int, int) { return 0; }
char* ChangeCase(BYTE, char*, int, int) { return 0; }
void WindowToText(HWND, char* text, int size) { if (size > 0) text[0] = 0; }
HWND TextToWindow(const char*) { return 0; }
int WriteValue(HKEY, const char*, const char*, const char*, DWORD) { return 0; }
DWORD ReadDwordWithDefault(HKEY, const char*, const char*, DWORD d) { return d; }
int ReadStringWithDefault(char* out, HKEY, const char*, const char*, const char* d) { lstrcpynA(out, d, 256); return 0; }
DWORD ReadDword(HKEY, const char*, const char*) { return 0; }
int ReadString(char* out, HKEY, const char*, const char*) { out[0] = 0; return 0; }
BOOL WriteIniString(const char*, const char*, const char*, const char*) { return FALSE; }
DWORD ReadIniString(char* out, const char*, const char*, const char*) { lstrcpyA(out, "ERROR"); return 5; }
void StartWorkerThread(WorkerRoutine, unsigned, void*) {}
void EndWorkerThread() {}

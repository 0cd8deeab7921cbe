// Foundations: the string list, the settings store and worker threads.
#pragma once
#include <windows.h>

// A list of heap copies of strings, newest first. An empty list is null.
struct StringNode {
    char* text;
    StringNode* next;   // the node added before this one
};
typedef StringNode* StringList;

int ListPushFront(StringList* list, const char* text);
int ListCount(StringList list);
char* ListGet(StringList list, int index, char* destination);
int ListReplace(StringList list, int index, const char* text);
int ListPopFront(StringList* list);
int ListClear(StringList* list);
int ListFillFromFolder(StringList* list, const char* folder, const char* pattern);
int ListVisibleWindows(StringList* windows);
int ListWindowTitles(StringList windows, StringList* titles);
int ListFindPrefix(StringList list, const char* text, BYTE length);
int ListRemoveTitle(StringList* list, const char* title);
int ListSort(StringList list, int low, int high);
char* ChangeCase(BYTE upper, char* text, int from, int to);

// Window handles travel in lists as signed decimal text.
void WindowToText(HWND window, char* text, int size);
HWND TextToWindow(const char* text);

// Settings store. Settings are never cached: every use reads again.
extern const char ProductKey[];   // "Software\\Hx_"
int WriteValue(HKEY root, const char* keyPath, const char* valueName, const char* text, DWORD number);
DWORD ReadDwordWithDefault(HKEY root, const char* keyPath, const char* valueName, DWORD defaultNumber);
int ReadStringWithDefault(char* out, HKEY root, const char* keyPath, const char* valueName,
                          const char* defaultText);
DWORD ReadDword(HKEY root, const char* keyPath, const char* valueName);
int ReadString(char* out, HKEY root, const char* keyPath, const char* valueName);
BOOL WriteIniString(const char* file, const char* section, const char* entry, const char* value);
DWORD ReadIniString(char* out, const char* file, const char* section, const char* entry);

// Worker threads, started through the run-time library loaded at run time.
typedef void (__cdecl* WorkerRoutine)(void* argument);
void StartWorkerThread(WorkerRoutine routine, unsigned stackSize, void* argument);
void EndWorkerThread();

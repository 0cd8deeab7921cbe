// Foundations: the string list, the settings store and worker threads.
#pragma once
#include <windows.h>

// A list of heap copies of strings, newest first. An empty list is null.
struct StringNode {
    char* text;
    StringNode* next;   // the node added before this one
};
typedef StringNode* StringList;

// ListPushFront and ListReplace give 1, and leave the list as it was, when
// memory is short (ListReplace also for an empty list).
int ListPushFront(StringList* list, const char* text);
int ListCount(StringList list);
char* ListGet(StringList list, int index, char* destination);
int ListReplace(StringList list, int index, const char* text);
int ListPopFront(StringList* list);
int ListClear(StringList* list);
int ListFillFromFolder(StringList* list, const char* folder, const char* pattern);
int ListVisibleWindows(StringList* windows);
// 1, with the titles as they were, when memory is short.
int ListWindowTitles(StringList windows, StringList* titles);
// The visible windows and their titles, in one walk: the window list belongs
// to the enumeration, the titles returned are the caller's to clear.
StringList ListVisibleTitles(StringList* windows);
int ListFindPrefix(StringList list, const char* text, BYTE length);
int ListRemoveTitle(StringList* list, const char* title);
int ListSort(StringList list, int low, int high);
char* ChangeCase(BYTE upper, char* text, int from, int to);
// The lists' allocation (malloc unless replaced; null puts malloc back), so
// that a shortage of memory can be tested.
typedef void* (*ListAllocProc)(size_t size);
void SetListAlloc(ListAllocProc alloc);

// Window handles travel in lists as signed decimal text.
void WindowToText(HWND window, char* text, int size);
HWND TextToWindow(const char* text);

// Settings store. Settings are never cached: every use reads again.
extern const char ProductKey[];   // "Software\\Hx_"
int WriteValue(HKEY root, const char* keyPath, const char* valueName, const char* text, DWORD number);
DWORD ReadDwordWithDefault(HKEY root, const char* keyPath, const char* valueName, DWORD defaultNumber);
int ReadStringWithDefault(char* out, HKEY root, const char* keyPath, const char* valueName,
                          const char* defaultText);
// ReadStringWithDefault that also reads a key it may not write, and says
// whether a string could be read: FALSE for a value of another type, one of
// 256 characters or more, a key that cannot be opened, any other read error.
BOOL ReadStringChecked(char* out, HKEY root, const char* keyPath, const char* valueName,
                       const char* defaultText);
DWORD ReadDword(HKEY root, const char* keyPath, const char* valueName);
int ReadString(char* out, HKEY root, const char* keyPath, const char* valueName);
BOOL WriteIniString(const char* file, const char* section, const char* entry, const char* value);
DWORD ReadIniString(char* out, const char* file, const char* section, const char* entry);
// Stores a path as a text setting and reads it back: the store refuses what it
// cannot hold whole (256 characters or more). A refusal is told; false then.
BOOL StorePath(HWND owner, HKEY root, const char* keyPath, const char* valueName, const char* path);

// The guard over the platform's ways out of the shell. The platform calls it
// makes are replaceable, so that the sequence can be watched where the
// platform keeps no accessibility flags.
struct GuardCalls {
    BOOL(WINAPI* systemParametersInfo)(UINT action, UINT parameter, PVOID data, UINT winIni);
    HHOOK(WINAPI* setWindowsHookEx)(int id, HOOKPROC procedure, HINSTANCE instance, DWORD thread);
    BOOL(WINAPI* unhookWindowsHookEx)(HHOOK hook);
    DWORD(WINAPI* getVersion)();
};
GuardCalls* GetGuardCalls();
void EngageGuard(HINSTANCE instance);   // once, when the shell's window stands
void ReleaseGuard();                    // on every way out; later calls do nothing
void SuspendGuard();                    // an administrator dialog opens
void ResumeGuard();                     // ... and closes
void RenewGuard();                      // at each taskbar tick and after a resume

// Worker threads, started through the run-time library loaded at run time.
typedef void (__cdecl* WorkerRoutine)(void* argument);
void StartWorkerThread(WorkerRoutine routine, unsigned stackSize, void* argument);
void EndWorkerThread();

// The memory cleaner, a worker routine: its argument is a progress bar to
// report to, or 0 for a silent run.
void __cdecl MemoryCleaner(void* progressBar);
// The cleaner's block: physical memory rounded down to whole allocation
// blocks, at most CleanerBlockLimit bytes when that is not 0, and never more
// than a progress bar's range can count.
SIZE_T GetCleanerBlockLimit();
void SetCleanerBlockLimit(SIZE_T limit);
SIZE_T CleanerBlockSize(SIZE_T physical, DWORD granularity, SIZE_T limit);
// The largest block of whole allocation blocks that a reservation can get now.
SIZE_T LargestFreeRegion(DWORD granularity);

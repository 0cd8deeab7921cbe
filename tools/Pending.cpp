// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "tools/Tools.h"

void __cdecl MemoryCleaner(void*) {}
INT_PTR CALLBACK MemoryManagerProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK TaskManagerProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK ShutDownProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
void FillListBox(StringList, HWND) {}
BOOL EndWindowProcess(HWND) { return FALSE; }

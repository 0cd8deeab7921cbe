// System tools: memory cleaner and Memory Manager, Task Manager, Shut Down.
#pragma once
#include <windows.h>
#include "core/Core.h"

void __cdecl MemoryCleaner(void* progressBar);
INT_PTR CALLBACK MemoryManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TaskManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ShutDownProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void FillListBox(StringList list, HWND listBox);
BOOL EndWindowProcess(HWND window);

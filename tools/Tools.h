// System tools: memory cleaner and Memory Manager, Task Manager, Shut Down.
#pragma once
#include <windows.h>
#include "core/Core.h"

INT_PTR CALLBACK MemoryManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TaskManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ShutDownProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void FillListBox(StringList list, HWND listBox);
BOOL EndWindowProcess(HWND window);

// Memory Manager figures.
// "%i KB   %i MB"; the physical figures round the megabytes up by one.
void FormatMemorySize(char* text, SIZE_T bytes, BOOL addOneMegabyte);
const char* ProcessorQuality(WORD level);
// The "Complete" text for a bar position and upper limit ("50 %", "0 %").
void FormatCompletion(char* text, int position, int upper);

// Shut Down. The platform calls that end the session or suspend the machine,
// replaceable so that the choices can be exercised without their effect.
typedef BOOL(WINAPI* ExitWindowsCall)(UINT flags, DWORD reason);
typedef BOOL(WINAPI* PowerStateCall)(BOOL suspend, BOOL force);
// ExitWindowsEx and SetSystemPowerState unless replaced.
void SetShutDownCalls(ExitWindowsCall exitWindows, PowerStateCall setPowerState);

// What the benchmark probe and the scene driver call "painted": the window is
// visible, its thread has answered a message after start-up, and neither it
// nor any visible child has an update region left.
#pragma once
#include <windows.h>

static BOOL CALLBACK ChildHasUpdate(HWND child, LPARAM found)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, NULL, FALSE))
        *(bool*)found = true;
    return TRUE;
}

static inline bool Painted(HWND window)
{
    if (!window || !IsWindowVisible(window))
        return false;
    DWORD_PTR result;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
        return false;
    bool pending = GetUpdateRect(window, NULL, FALSE) != 0;
    EnumChildWindows(window, ChildHasUpdate, (LPARAM)&pending);
    return !pending;
}

// The window of that class and title once painted, polled every `poll` ms;
// null when it is not within `limit` ms.
static inline HWND WaitPainted(const char* className, const char* title, DWORD limit, DWORD poll)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limit) {
        HWND window = FindWindowA(className, title);
        if (Painted(window))
            return window;
        Sleep(poll);
    }
    return NULL;
}

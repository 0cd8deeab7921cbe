// Holds the Wine virtual desktop open for the length of a test run: Wine
// closes a desktop soon after its last client leaves, and reopening it costs
// each GUI test a second or more.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HANDLE once = CreateMutexA(NULL, TRUE, "HalcyneTestKeeper");
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    HWND window = CreateWindowExA(0, "STATIC", "keeper", WS_POPUP, 0, 0, 1, 1,
                                  NULL, NULL, GetModuleHandleA(NULL), NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(window);
    CloseHandle(once);
    return 0;
}

// Benchmark probe, run under Wine beside the program it measures.
//   probe launch <class> <title> <exe> [arguments]   launch to painted, in ms
//   probe refresh <class> <title>                    F5 to painted, in ms
//   probe wait <class> <title>                       until the window is painted
//   probe windows <count> <seconds>                  keeps titled windows open
//   probe cleaner <megabytes>                        the memory cleaner's MB/s
//                                                    beside memcpy's, same size
//   probe peer <desktop name> <size>                 Wine's own desktop shell
//                                                    (explorer /desktop=...),
//                                                    launch to its desktop and
//                                                    taskbar painted
//   probe links <folder> <count> <target>            makes shortcuts to a program
// "Painted" means: the window is visible, its thread has answered a message
// after start-up, and neither it nor any child has an update region left.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <cstdio>
#include <cstring>
#include "tools/Tools.h"
#include "Painted.h"
#include <cstdlib>

static double Now()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return count.QuadPart * 1000.0 / frequency.QuadPart;
}

static bool StartProgram(char* command, PROCESS_INFORMATION* process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, process) != 0;
}

static int Launch(const char* className, const char* title, int argc, char** argv)
{
    char command[2048] = "";
    for (int i = 0; i < argc; ++i) {
        if (lstrlenA(command) + lstrlenA(argv[i]) + 2 > (int)sizeof command)
            return 2;
        lstrcatA(command, i ? " " : "");
        lstrcatA(command, argv[i]);
    }
    PROCESS_INFORMATION process;
    double begin = Now();
    if (!StartProgram(command, &process))
        return 2;
    HWND window = WaitPainted(className, title, 60000, 2);
    double elapsed = Now() - begin;
    if (!window)
        return 3;
    printf("%.1f\n", elapsed);
    fflush(stdout);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}

static int Refresh(const char* className, const char* title)
{
    HWND window = WaitPainted(className, title, 30000, 2);
    if (!window)
        return 3;
    Sleep(500);
    double begin = Now();
    PostMessageA(window, WM_KEYDOWN, VK_F5, 0x003F0001);
    PostMessageA(window, WM_KEYUP, VK_F5, 0xC03F0001);
    // The refresh runs when the key reaches the loop; the answer to this
    // message comes after it.
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    while (!Painted(window))
        Sleep(1);
    printf("%.1f\n", Now() - begin);
    return 0;
}

static int Windows(int count, int seconds)
{
    for (int i = 0; i < count; ++i) {
        char title[64];
        wsprintfA(title, "Bench window %02d", i + 1);
        CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40 + i * 10, 40 + i * 10,
                        300, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
    }
    DWORD start = GetTickCount();
    while (GetTickCount() - start < (DWORD)seconds * 1000) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
    }
    return 0;
}

// The cleaner runs as the Memory Manager runs it, reporting to a progress
// bar on this thread; it is done when the bar stands at its upper limit.
static double CleanerMegabytesPerSecond(SIZE_T size)
{
    InitCommonControls();
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    SetCleanerBlockLimit(size);
    double start = Now();
    StartWorkerThread(MemoryCleaner, 0, bar);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        LRESULT upper = SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
        LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
        if (upper != 100 && position >= upper)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 1, QS_ALLINPUT);
    }
    double seconds = (Now() - start) / 1000.0;
    SIZE_T cleaned = (SIZE_T)SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
    DestroyWindow(bar);
    return cleaned / 1048576.0 / seconds;
}

static double CopyMegabytesPerSecond(SIZE_T size)
{
    char* source = (char*)VirtualAlloc(NULL, size, MEM_COMMIT, PAGE_READWRITE);
    char* target = (char*)VirtualAlloc(NULL, size, MEM_COMMIT, PAGE_READWRITE);
    if (!source || !target)
        return 0;
    memset(source, 1, size);
    double start = Now();
    memcpy(target, source, size);
    double seconds = (Now() - start) / 1000.0;
    VirtualFree(source, 0, MEM_RELEASE);
    VirtualFree(target, 0, MEM_RELEASE);
    return size / 1048576.0 / seconds;
}

static int Cleaner(int megabytes)
{
    SIZE_T size = (SIZE_T)megabytes << 20;
    double cleaner = CleanerMegabytesPerSecond(size);
    double copy = CopyMegabytesPerSecond(size);
    printf("%.1f %.1f\n", cleaner, copy);
    return 0;
}

// The peer's windows live on a desktop of their own, found through its handle.
// This thread joins that desktop (visibility is judged against the thread's
// own desktop), but only once the taskbar is there: a thread on a desktop that
// has no desktop window yet starts another explorer and waits for it.
static BOOL CALLBACK FindTaskbar(HWND window, LPARAM found)
{
    char name[32];
    if (GetClassNameA(window, name, sizeof name) && !lstrcmpA(name, "Shell_TrayWnd")) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

static int Peer(const char* desktopName, const char* size)
{
    char command[256];
    wsprintfA(command, "explorer.exe /desktop=%.100s,%.100s", desktopName, size);
    PROCESS_INFORMATION process;
    double begin = Now();
    if (!StartProgram(command, &process))
        return 2;
    HDESK desktop = NULL;
    HWND taskbar = NULL;
    bool painted = false;
    DWORD start = GetTickCount();
    while (!painted && GetTickCount() - start < 60000) {
        if (!desktop)
            desktop = OpenDesktopA(desktopName, 0, FALSE, GENERIC_ALL);
        if (desktop && !taskbar) {
            EnumDesktopWindows(desktop, FindTaskbar, (LPARAM)&taskbar);
            if (taskbar && !SetThreadDesktop(desktop))
                break;
        }
        painted = Painted(taskbar) && Painted(GetAncestor(taskbar, GA_PARENT));
        if (!painted)
            Sleep(2);
    }
    double elapsed = Now() - begin;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (desktop)
        CloseDesktop(desktop);
    if (!painted)
        return 3;
    printf("%.1f\n", elapsed);
    return 0;
}

static int Links(const char* folder, int count, const char* target)
{
    if (FAILED(CoInitialize(NULL)))
        return 2;
    int made = 0;
    for (int i = 1; i <= count; ++i) {
        IShellLinkA* link = NULL;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    (void**)&link)))
            break;
        link->SetPath(target);
        IPersistFile* file = NULL;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            char path[MAX_PATH];
            WCHAR widePath[MAX_PATH];
            wsprintfA(path, "%.200s\\Shortcut %03d.lnk", folder, i);
            MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
            if (SUCCEEDED(file->Save(widePath, TRUE)))
                made++;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return made == count ? 0 : 3;
}

int main(int argc, char** argv)
{
    if (argc >= 4 && !lstrcmpA(argv[1], "peer"))
        return Peer(argv[2], argv[3]);
    if (argc >= 5 && !lstrcmpA(argv[1], "links"))
        return Links(argv[2], atoi(argv[3]), argv[4]);
    if (argc >= 3 && !lstrcmpA(argv[1], "cleaner"))
        return Cleaner(atoi(argv[2]));
    if (argc >= 5 && !lstrcmpA(argv[1], "launch"))
        return Launch(argv[2], argv[3], argc - 4, argv + 4);
    if (argc >= 4 && !lstrcmpA(argv[1], "wait"))
        return WaitPainted(argv[2], argv[3], 60000, 2) ? 0 : 3;
    if (argc >= 4 && !lstrcmpA(argv[1], "refresh"))
        return Refresh(argv[2], argv[3]);
    if (argc >= 4 && !lstrcmpA(argv[1], "windows"))
        return Windows(atoi(argv[2]), atoi(argv[3]));
    fprintf(stderr, "usage: probe launch|refresh|windows|cleaner ...\n");
    return 1;
}

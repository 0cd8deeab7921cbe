// Start-up: the shared values, the command line, the single instance, the
// main window and the one message loop.
#include "app/App.h"
#include "core/Core.h"
#include "look/Look.h"
#include "media/Media.h"
#include "res/resource.h"
#include "session/Session.h"
#include "taskbar/Taskbar.h"
#include <commctrl.h>

ProgramInfoRecord ProgramInfo;
HINSTANCE AppInstance;
HWND MainWindow;
DWORD WindowsVersion;
BYTE OpenFileNameSize = 76;
ScreenSizeRecord ScreenSize;
HMENU CommandsMenu;

static const char ShellClassName[] = "Win";
static const char ShellWindowTitle[] = "Tavix Halcyne 2.0";

static const char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

typedef DWORD(WINAPI* RegisterServiceProcessProc)(DWORD processId, DWORD type);

static void HideFromTaskList()
{
    // Only Windows 95/98/ME export it; looked up so the exe still loads on NT.
    HMODULE kernel = LoadLibraryA("kernel32.dll");
    if (!kernel)
        return;
    RegisterServiceProcessProc registerService =
        (RegisterServiceProcessProc)(void*)GetProcAddress(kernel, "RegisterServiceProcess");
    if (registerService)
        registerService(GetCurrentProcessId(), 1);
    FreeLibrary(kernel);
}

static void FillProgramInfo(ProgramInfoRecord* info)
{
    char directory[260];
    DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        directory[0] = 0;
    lstrcpynA(info->startDirectory, directory, sizeof info->startDirectory);
    lstrcpynA(info->caption, "Halcyne 2.08", sizeof info->caption);
    lstrcpynA(info->version, "2.0", sizeof info->version);
    lstrcpynA(info->maker, "Tavix Software", sizeof info->maker);
    UINT windowsLength = GetWindowsDirectoryA(info->windowsDirectory, sizeof info->windowsDirectory);
    if (windowsLength == 0 || windowsLength >= sizeof info->windowsDirectory)
        info->windowsDirectory[0] = 0;
    // The store copies whole registry strings (up to 256 bytes), so read into
    // a buffer of that size and bound the copy into the record.
    char desktop[260];
    ReadString(desktop, HKEY_CURRENT_USER, ShellFoldersKey, "Desktop");
    lstrcpynA(info->desktopFolder, desktop, sizeof info->desktopFolder);
}

void ReadScreenSize(ScreenSizeRecord* size)
{
    size->width = (short)GetSystemMetrics(SM_CXSCREEN);
    size->height = (short)GetSystemMetrics(SM_CYSCREEN);
}

DWORD VersionNumberFrom(DWORD getVersionResult)
{
    DWORD major = LOBYTE(LOWORD(getVersionResult));
    DWORD minor = HIBYTE(LOWORD(getVersionResult));
    return major * 100 + (minor < 10 ? minor * 10 : minor);
}

static DWORD GetWindowsVersionNumber()
{
    return VersionNumberFrom(GetVersion());
}

void InitShellState(HINSTANCE instance)
{
    AppInstance = instance;
    HideFromTaskList();
    FillProgramInfo(&ProgramInfo);
    ReadScreenSize(&ScreenSize);
    WindowsVersion = GetWindowsVersionNumber();
    OpenFileNameSize = WindowsVersion >= 500 ? 88 : 76;
    BuildCommandsMenu();
    LoadTaskbarBitmaps(instance);
}

static void HandleCommandLine(const char* commandLine)
{
    if (!commandLine || lstrlenA(commandLine) < 2)
        return;
    if (lstrcmpiA(commandLine, "-help") == 0) {
        ShowBuiltInHelp();
        ExitProcess(0);
    }
    if (lstrcmpiA(commandLine, "-error::desktop_path") == 0) {
        MessageBoxA(NULL,
                    "The Desktop folder could not be found. Check the \"Desktop\" entry of the "
                    "user's Shell Folders in the registry.",
                    commandLine, MB_OK);
        ExitProcess(0);
    }
}

static void EnsureSingleInstance()
{
    if (FindWindowA(ShellClassName, ShellWindowTitle)) {
        MessageBoxA(NULL, "Halcyne 2 is already running ! ", "Startup Error",
                    MB_SYSTEMMODAL | MB_ICONERROR);
        ExitProcess(0);
    }
}

void RegisterShellWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    // CS_NOCLOSE: the window menu offers no close command to a guest.
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_NOCLOSE;
    windowClass.lpfnWndProc = ShellWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SHELL_IMAGE));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = GetFaceBrush();
    windowClass.lpszClassName = ShellClassName;
    RegisterClassA(&windowClass);
}

// A quit that another program posts is dropped: only the shell ends itself.
static BOOL NextMessage(MSG* msg)
{
    BOOL got;
    while ((got = GetMessageA(msg, NULL, 0, 0)) == 0 && !ShellEnding())
        ;
    return got > 0;
}

// A function key held down is one press: its auto-repeats open nothing more.
static bool KeyRepeat(const MSG* msg)
{
    return (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && (msg->lParam & 0x40000000);
}

static void RunMessageLoop(HACCEL accelerators)
{
    // Every message passes the main window's function keys first, so they
    // work over the modeless players and the tip as well.
    MSG msg;
    while (NextMessage(&msg)) {
        if (!KeyRepeat(&msg) && TranslateAcceleratorA(MainWindow, accelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int StartShell(HINSTANCE instance, const char* commandLine)
{
    InitShellState(instance);
    HandleCommandLine(commandLine);
    EnsureSingleInstance();
    InitDialogLook();
    InitCommonControls();
    RegisterShellWindowClass(instance);
    MainWindow = CreateWindowExA(0, ShellClassName, ShellWindowTitle,
                                 WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0, 0, ScreenSize.width,
                                 ScreenSize.height, NULL, NULL, instance, NULL);
    // Without its window the shell could only sit in a loop that nothing ends.
    if (!MainWindow)
        return 1;
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    UpdateWindow(MainWindow);
    EngageGuard(instance);
    StartGuestSessions(MainWindow);
    InitMediaPlayers(MainWindow, instance);
    ShowTipAtStartup();
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    RunMessageLoop(accelerators);
    return 0;
}

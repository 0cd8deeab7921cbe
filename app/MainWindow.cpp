// The full-screen main window, the commands menu and the dispatch of every
// command to the subsystem that serves it.
#include "app/App.h"
#include "admin/Admin.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "media/Media.h"
#include "res/resource.h"
#include "session/Session.h"
#include "taskbar/Taskbar.h"
#include "tools/Tools.h"
#include <commctrl.h>
#include <objbase.h>

void BuildCommandsMenu()
{
    CommandsMenu = CreatePopupMenu();
    AppendMenuA(CommandsMenu, MF_STRING, IDM_ABOUT, "About (F1)");
    AppendMenuA(CommandsMenu, MF_STRING, IDM_HELP, "Help (F12)");
    AppendMenuA(CommandsMenu, MF_STRING, IDM_TIPS, "Tips and Tricks (F11)");
    AppendMenuA(CommandsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(CommandsMenu, MF_STRING, IDM_MP3_PLAYER, "Mp3 Player (F6)");
    AppendMenuA(CommandsMenu, MF_STRING, IDM_MOVIE_PLAYER, "Movie Player (F7)");
    AppendMenuA(CommandsMenu, MF_STRING, IDM_HTML_VIEWER, "HTML Viewer (F8)");
    AppendMenuA(CommandsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(CommandsMenu, MF_STRING, IDM_REFRESH, "Refresh (F5)");
    AppendMenuA(CommandsMenu, MF_STRING, IDM_MEMORY_CLEANUP, "Memory Cleanup");
    // Ending the Windows shell's process is only safe on the 9x family.
    if (WindowsVersion < 500)
        AppendMenuA(CommandsMenu, MF_STRING, IDM_UNLOAD_SHELL, "! Unload Windows Shell");
    AppendMenuA(CommandsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(CommandsMenu, MF_STRING, IDM_LOGIN, "Login (F3)");
    AppendMenuA(CommandsMenu, MF_STRING, IDM_SHUT_DOWN, "Shut Down (F4)");
}

static void ReleaseShellResources(HWND window)
{
    ReleaseDesktopFiles();
    DestroyMenu(CommandsMenu);
    ReleaseTaskbarBitmaps();
    ReleaseDesktopImages();
    ReleaseTaskbarControls(window);
    ReleaseLookObjects();
    ReleaseWallpaperPreview();
}

static void ShowHtmlFileSetting(HWND window)
{
    char address[256];
    ReadStringWithDefault(address, HKEY_CURRENT_USER, ProductKey, "HTMLFile", "");
    if (address[0])
        ShowHtmlDocument(NULL, address);
}

static void OpenMp3Player(HWND window)
{
    HWND player = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MP3_PLAYER),
                                     DesktopViewWindow, Mp3PlayerDialog, 0);
    ShowWindow(player, SW_SHOWNORMAL);
}

static void OpenAbout(HWND window)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutProc, 0);
}

static void OpenLogin(HWND window)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SECURITY), MainWindow, SecurityDialog, 0);
}

static void OpenShutDown(HWND window)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SHUT_DOWN), MainWindow, ShutDownProc, 0);
}

static void ShowHelp(HWND window) { ShowBuiltInHelp(); }
static void ShowTips(HWND window) { OpenTipOfTheDay(); }
static void OpenMovie(HWND window) { OpenMoviePlayer(); }
static void Refresh(HWND window) { RefreshDesktop(true); }
static void CleanMemory(HWND window) { StartWorkerThread(MemoryCleaner, 0, 0); }
static void UnloadShell(HWND window) { UnloadWindowsShell(); }
static void EndSession(HWND window) { GuestEndsSession(); }

const ShellCommand ShellCommands[] = {
    { IDM_ABOUT,          IDMA_ABOUT,        OpenAbout },
    { IDM_HELP,           IDMA_HELP,         ShowHelp },
    { IDM_TIPS,           IDMA_TIPS,         ShowTips },
    { IDM_MP3_PLAYER,     IDMA_MP3_PLAYER,   OpenMp3Player },
    { IDM_MOVIE_PLAYER,   IDMA_MOVIE_PLAYER, OpenMovie },
    { IDM_HTML_VIEWER,    IDMA_HTML_VIEWER,  ShowHtmlFileSetting },
    { IDM_REFRESH,        IDMA_REFRESH,      Refresh },
    { IDM_MEMORY_CLEANUP, 0,                 CleanMemory },
    { IDM_UNLOAD_SHELL,   0,                 UnloadShell },
    { IDM_END_SESSION,    0,                 EndSession },
    { IDM_LOGIN,          IDMA_LOGIN,        OpenLogin },
    { IDM_SHUT_DOWN,      IDMA_SHUT_DOWN,    OpenShutDown },
    { IDC_START_BUTTON,   0,                 ShowStartMenu },
};
const int ShellCommandCount = sizeof ShellCommands / sizeof ShellCommands[0];

// Window buttons carry identifier 0, which no row has.
void RunShellCommand(HWND window, UINT command)
{
    for (int i = 0; i < ShellCommandCount; i++) {
        const ShellCommand* row = &ShellCommands[i];
        if (command == row->menuId || (row->keyId && command == row->keyId)) {
            row->run(window);
            return;
        }
    }
}

static LRESULT OnCreate(HWND window)
{
    CreateTaskbarControls(window);
    DesktopViewWindow = CreateDesktopView(window);
    return 0;
}

static LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintTaskbarStrip(dc);
    EndPaint(window, &paint);
    return 0;
}

static LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    HWND control = (HWND)lParam;
    if (control && control != GetStartButton())
        ActivateWindowButton(window, control);
    RunShellCommand(window, LOWORD(wParam));
    return 0;
}

// Set once the shell asks for its own end: until then every close and quit
// of the main window is refused, whoever sends it.
static bool OwnEnd;

void CloseMainWindow()
{
    OwnEnd = true;
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
}

bool ShellEnding() { return OwnEnd; }

static LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam)
{
    // Another program's close, Task Manager's "End Task" among them.
    if (!OwnEnd)
        return 0;
    ReleaseGuard();
    StopGuestSessions();
    ReleaseShellResources(window);
    SendMessageA(window, WM_DESTROY, wParam, lParam);
    return 0;
}

static LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    // Only "Quit to Windows" may end the shell: a close from the keyboard
    // (Alt+F4) or the window menu is refused even where the platform offers one.
    if ((wParam & 0xFFF0) == SC_CLOSE)
        return 0;
    // The platform's Task List would offer its own "Run".
    if ((wParam & 0xFFF0) == SC_TASKLIST)
        return 0;
    // The window menu's Move, Size and the rest would uncover what lies
    // behind the shell: the bare desktop or the platform's taskbar.
    switch (wParam & 0xFFF0) {
    case SC_MOVE: case SC_SIZE: case SC_MINIMIZE: case SC_MAXIMIZE: case SC_RESTORE:
        return 0;
    }
    return HandleFrameLook(window, WM_SYSCOMMAND, wParam, lParam, &DialogLook);
}

// Whoever moves, sizes or hides the window, it stays over the whole screen
// at 0,0; the shell's own change of screen mode asks for just that place.
static LRESULT OnWindowPosChanging(WINDOWPOS* place)
{
    place->x = 0;
    place->y = 0;
    place->cx = ScreenSize.width;
    place->cy = ScreenSize.height;
    place->flags &= ~SWP_HIDEWINDOW;
    return 0;
}

// A minimize forced from another program is undone at once.
static LRESULT OnSize(HWND window, WPARAM kind)
{
    if (kind == SIZE_MINIMIZED)
        ShowWindow(window, SW_RESTORE);
    return 0;
}

static LRESULT OnDestroy()
{
    if (OwnEnd)
        PostQuitMessage(0);
    return 0;
}

// The session ends (Shut Down, or a log-off from elsewhere): the keys are given back.
static LRESULT OnEndSession(WPARAM ending)
{
    if (!ending)
        return 0;
    ReleaseGuard();
    EndGuestSession(END_SHUTDOWN);
    return 0;
}

// A resume from stand-by may have cleared the guard's switch (95/98/ME).
static void OnPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMECRITICAL || event == PBT_APMRESUMESTANDBY
        || event == PBT_APMRESUMEAUTOMATIC)
        RenewGuard();
}

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:     return OnCreate(window);
    case WM_PAINT:      return OnPaint(window);
    case WM_TIMER:      RebuildWindowButtons(window); RenewGuard(); return 0;
    case WM_NOTIFY:     return HandleDesktopNotify((NMHDR*)lParam);
    case WM_COMMAND:    return OnCommand(window, wParam, lParam);
    case WM_CLOSE:      return OnClose(window, wParam, lParam);
    case WM_DESTROY:    return OnDestroy();
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging((WINDOWPOS*)lParam);
    case WM_SIZE:       return OnSize(window, wParam);
    case WM_ENDSESSION: return OnEndSession(wParam);
    case WM_POWERBROADCAST: OnPowerBroadcast(wParam); break;   // the answer stays the platform's
    }
    return HandleFrameLook(window, message, wParam, lParam, &DialogLook);
}

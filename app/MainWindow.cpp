// The full-screen main window, the commands menu and the dispatch of every
// command to the subsystem that serves it.
#include "app/App.h"
#include "admin/Admin.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "media/Media.h"
#include "res/resource.h"
#include "taskbar/Taskbar.h"
#include "tools/Tools.h"
#include <commctrl.h>
#include <objbase.h>

enum { TASKBAR_TIMER = 3, TASKBAR_HEIGHT = 30 };

void BuildCommandsMenu()
{
    CommandsMenu = CreatePopupMenu();
    AppendMenuA(CommandsMenu, MF_STRING, CMD_ABOUT, "About (F1)");
    AppendMenuA(CommandsMenu, MF_STRING, CMD_HELP, "Help (F12)");
    AppendMenuA(CommandsMenu, MF_STRING, CMD_TIPS, "Tips and Tricks (F11)");
    AppendMenuA(CommandsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(CommandsMenu, MF_STRING, CMD_MP3_PLAYER, "Mp3 Player (F6)");
    AppendMenuA(CommandsMenu, MF_STRING, CMD_MOVIE_PLAYER, "Movie Player (F7)");
    AppendMenuA(CommandsMenu, MF_STRING, CMD_HTML_VIEWER, "HTML Viewer (F8)");
    AppendMenuA(CommandsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(CommandsMenu, MF_STRING, CMD_REFRESH, "Refresh (F5)");
    AppendMenuA(CommandsMenu, MF_STRING, CMD_MEMORY_CLEANUP, "Memory Cleanup");
    // Ending the Windows shell's process is only safe on the 9x family.
    if (WindowsVersion < 500)
        AppendMenuA(CommandsMenu, MF_STRING, CMD_UNLOAD_SHELL, "! Unload Windows Shell");
    AppendMenuA(CommandsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(CommandsMenu, MF_STRING, CMD_LOGIN, "Login (F3)");
    AppendMenuA(CommandsMenu, MF_STRING, CMD_SHUT_DOWN, "Shut Down (F4)");
}

void StretchBitmap(HDC dc, HBITMAP bitmap, short x, short y, short height, LONG width, DWORD rop)
{
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetMapMode(memory, GetMapMode(dc));
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    POINT size = { info.bmWidth, info.bmHeight };
    DPtoLP(dc, &size, 1);
    POINT origin = { 0, 0 };
    DPtoLP(memory, &origin, 1);
    StretchBlt(dc, x, y, width, height, memory, origin.x, origin.y, size.x, size.y, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void ReleaseShellResources(HWND window)
{
    ListClear(&DesktopFiles);
    CoUninitialize();
    DestroyMenu(CommandsMenu);
    DeleteObject(StartButtonBitmap);
    DeleteObject(TaskbarStripBitmap);
    ReleaseDesktopImages();
    DestroyWindow(StartButton);
    KillTimer(window, TASKBAR_TIMER);
    DeleteObject(FaceBrush);
    DeleteObject(SmallFont);
    DeleteObject(WallpaperPreview);
    DeleteObject(HeadingFont);
}

static void ShowHtmlFileSetting()
{
    char address[256];
    ReadStringWithDefault(address, HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile", "");
    if (address[0])
        ShowHtmlDocument(NULL, address);
}

static void OpenMp3Player()
{
    HWND player = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MP3_PLAYER),
                                     DesktopViewWindow, Mp3PlayerDialog, 0);
    ShowWindow(player, SW_SHOWNORMAL);
}

void RunShellCommand(HWND window, UINT command)
{
    switch (command) {
    case CMD_ABOUT:
    case KEY_ABOUT:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutProc, 0);
        break;
    case CMD_HELP:
    case KEY_HELP:
        ShowBuiltInHelp();
        break;
    case CMD_TIPS:
    case KEY_TIPS:
        OpenTipOfTheDay();
        break;
    case CMD_MP3_PLAYER:
    case KEY_MP3_PLAYER:
        OpenMp3Player();
        break;
    case CMD_MOVIE_PLAYER:
    case KEY_MOVIE_PLAYER:
        OpenMoviePlayer();
        break;
    case CMD_HTML_VIEWER:
    case KEY_HTML_VIEWER:
        ShowHtmlFileSetting();
        break;
    case CMD_REFRESH:
    case KEY_REFRESH:
        RefreshDesktop(true);
        break;
    case CMD_MEMORY_CLEANUP:
        StartWorkerThread(MemoryCleaner, 0, 0);
        break;
    case CMD_UNLOAD_SHELL:
        UnloadWindowsShell();
        break;
    case CMD_LOGIN:
    case KEY_LOGIN:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SECURITY), MainWindow, SecurityDialog, 0);
        break;
    case CMD_SHUT_DOWN:
    case KEY_SHUT_DOWN:
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SHUT_DOWN), MainWindow, ShutDownProc, 0);
        break;
    case CMD_START_BUTTON:
        ShowStartMenu(window);
        break;
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
    // The strip starts one pixel in from the left edge.
    StretchBitmap(dc, TaskbarStripBitmap, 1, (short)(ScreenSize.height - TASKBAR_HEIGHT),
                  TASKBAR_HEIGHT, ScreenSize.width, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
}

static LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    HWND control = (HWND)lParam;
    if (control && control != StartButton)
        ActivateWindowButton(window, control);
    RunShellCommand(window, LOWORD(wParam));
    return 0;
}

static LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam)
{
    ReleaseGuard();
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
    return HandleFrameLook(window, WM_SYSCOMMAND, wParam, lParam, &DialogLook);
}

// The session ends (Shut Down, or a log-off from elsewhere): the keys are given back.
static LRESULT OnEndSession(WPARAM ending)
{
    if (ending)
        ReleaseGuard();
    return 0;
}

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:     return OnCreate(window);
    case WM_PAINT:      return OnPaint(window);
    case WM_TIMER:      RebuildWindowButtons(window); return 0;
    case WM_NOTIFY:     return HandleDesktopNotify((NMHDR*)lParam);
    case WM_COMMAND:    return OnCommand(window, wParam, lParam);
    case WM_CLOSE:      return OnClose(window, wParam, lParam);
    case WM_DESTROY:    PostQuitMessage(0); return 0;
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_ENDSESSION: return OnEndSession(wParam);
    }
    return HandleFrameLook(window, message, wParam, lParam, &DialogLook);
}

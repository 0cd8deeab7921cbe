// The machine-wide changes behind the Options Panel and the shell hand-over.
#include "admin/Admin.h"
#include "app/App.h"
#include "core/Core.h"
#include "tools/Tools.h"
#include <shellapi.h>

BYTE ShellUnloaded;
ShellStartProc ShellStart = ShellExecuteA;

const char BrowserEnabledPath[] = "C:\\progra~1\\intern~1\\iexplore.exe";
const char BrowserDisabledPath[] = "C:\\progra~1\\intern~1\\iexplore.ex_";
const char MsDosSysPath[] = "C:\\MsDos.sys";

static void WindowsFile(char* path, const char* name)
{
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        path[0] = 0;
    if (lstrlenA(path) + lstrlenA(name) < MAX_PATH)
        lstrcatA(path, name);
}

DWORD ReadBootShell(char* out)
{
    char path[MAX_PATH];
    WindowsFile(path, "\\System.ini");
    return ReadIniString(out, path, "Boot", "Shell");
}

void WriteBootShell(const char* shell)
{
    char path[MAX_PATH];
    WindowsFile(path, "\\System.ini");
    WriteIniString(path, "Boot", "Shell", shell);
}

BOOL FileExists(const char* path)
{
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR)
        return FALSE;
    _lclose(file);
    return TRUE;
}

void DisableBrowser()
{
    if (FileExists(BrowserEnabledPath))
        MoveFileA(BrowserEnabledPath, BrowserDisabledPath);
}

void EnableBrowser()
{
    if (FileExists(BrowserDisabledPath))
        MoveFileA(BrowserDisabledPath, BrowserEnabledPath);
}

static void WriteSwapEntry(const char* value)
{
    char path[MAX_PATH];
    WindowsFile(path, "\\SYSTEM.INI");
    WriteIniString(path, "386Enh", "ConservativeSwapFileUsage", value);
}

void SetConservativeSwap() { WriteSwapEntry("1"); }
void ClearConservativeSwap() { WriteSwapEntry("0"); }

// The mode stored in the registry, not the one shown, so the stored refresh
// rate and flags survive the change.
int ChangeScreenMode(int width, int height, int bitsPerPixel)
{
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_REGISTRY_SETTINGS, &mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    ChangeDisplaySettingsA(&mode, CDS_UPDATEREGISTRY);
    return 0;
}

void StartWindowsShell()
{
    ShellStart(NULL, "open", "explorer.exe", "", "", SW_SHOWNORMAL);
}

void QuitToWindows()
{
    if (ShellUnloaded)
        StartWindowsShell();
    char shell[MAX_PATH];
    ReadBootShell(shell);
    if (lstrcmpiA(shell, "explorer.exe") != 0) {
        WriteBootShell("Explorer.exe");
        StartWindowsShell();
    }
    if (ShellUnloaded)
        StartWindowsShell();
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
}

BOOL UnloadWindowsShell()
{
    StringList windows = NULL;
    StringList titles = NULL;
    ListVisibleWindows(&windows);
    ListWindowTitles(windows, &titles);
    int position = ListFindPrefix(titles, "Program Manager", 15);
    ListClear(&titles);
    if (position == -1) {
        ShellUnloaded = 0;
        return FALSE;
    }
    char handleText[32];
    handleText[0] = 0;
    ListGet(windows, position, handleText);
    EndWindowProcess(TextToWindow(handleText));
    ShellUnloaded = 1;
    return TRUE;
}

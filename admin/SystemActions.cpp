// The machine-wide changes behind the Options Panel and the shell hand-over.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "tools/Tools.h"
#include <shellapi.h>

BYTE ShellUnloaded;
static ShellStartProc ShellStart = ShellExecuteA;

const char BrowserEnabledPath[] = "C:\\progra~1\\intern~1\\iexplore.exe";
const char BrowserDisabledPath[] = "C:\\progra~1\\intern~1\\iexplore.ex_";
const char MsDosSysPath[] = "C:\\MsDos.sys";
static IniWriteProc MsDosSysWrite = WriteIniString;

void SetMsDosSysWrite(IniWriteProc write) { MsDosSysWrite = write; }
void SetShellStart(ShellStartProc start) { ShellStart = start; }

// False, and no path, when the Windows directory is unknown: the name alone
// would be a file in the root of whatever drive is current.
BOOL SystemIniFile(char* path)
{
    const char* windows = ProgramInfo.windowsDirectory;
    if (!windows[0] || lstrlenA(windows) + lstrlenA("\\System.ini") >= MAX_PATH) {
        path[0] = 0;
        return FALSE;
    }
    lstrcpyA(path, windows);
    lstrcatA(path, "\\System.ini");
    return TRUE;
}

DWORD ReadBootShell(char* out)
{
    char path[MAX_PATH];
    if (!SystemIniFile(path)) {
        lstrcpyA(out, "ERROR");   // as for a missing entry
        return 5;
    }
    return ReadIniString(out, path, "Boot", "Shell");
}

void WriteBootShell(const char* shell)
{
    char path[MAX_PATH];
    if (SystemIniFile(path))
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
    if (SystemIniFile(path))
        WriteIniString(path, "386Enh", "ConservativeSwapFileUsage", value);
}

// On Windows 95/98/ME MsDos.sys is read-only, hidden and system, and a write
// into it fails without a word: the attributes are cleared for the write
// (flushed while they are) and put back exactly as they were, and a failure
// is told. From Windows 2000 on the file means nothing and is just written.
void WriteDosSecurity(HWND owner, BOOL secure)
{
    const char* onOff = secure ? "0" : "1";
    if (WindowsVersion >= 500) {
        MsDosSysWrite(MsDosSysPath, "Options", "BootKeys", onOff);
        MsDosSysWrite(MsDosSysPath, "Options", "BootMenu", "0");
        MsDosSysWrite(MsDosSysPath, "Options", "BootWarn", onOff);
        return;
    }
    const DWORD locks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    DWORD attributes = GetFileAttributesA(MsDosSysPath);
    BOOL unlocked = attributes != INVALID_FILE_ATTRIBUTES && (attributes & locks) &&
                    SetFileAttributesA(MsDosSysPath, attributes & ~locks);
    BOOL written = MsDosSysWrite(MsDosSysPath, "Options", "BootKeys", onOff);
    written = MsDosSysWrite(MsDosSysPath, "Options", "BootMenu", "0") && written;
    written = MsDosSysWrite(MsDosSysPath, "Options", "BootWarn", onOff) && written;
    // Windows 95/98/ME keep INI writes in a cache: flush it while the file
    // is writable, and read back what the file now says.
    MsDosSysWrite(MsDosSysPath, NULL, NULL, NULL);
    char value[256];
    ReadIniString(value, MsDosSysPath, "Options", "BootKeys");
    written = written && lstrcmpA(value, onOff) == 0;
    ReadIniString(value, MsDosSysPath, "Options", "BootWarn");
    written = written && lstrcmpA(value, onOff) == 0;
    if (unlocked)
        SetFileAttributesA(MsDosSysPath, attributes);
    if (!written)
        MessageBoxA(owner, "Could not write C:\\MsDos.sys: DOS Security is not in effect !", ProgramInfo.caption,
                    MB_OK | MB_ICONWARNING);
}

void SetConservativeSwap() { WriteSwapEntry("1"); }
void ClearConservativeSwap() { WriteSwapEntry("0"); }

void OpenControlPanel(HWND owner)
{
    ShellStart(owner, "open", "control.exe", "", NULL, SW_SHOWNORMAL);
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
    CloseMainWindow();
}

BOOL UnloadWindowsShell()
{
    StringList windows;
    StringList titles = ListVisibleTitles(&windows);
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

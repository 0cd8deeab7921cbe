#include "support/AdminSupport.h"
#include "res/resource.h"
#include "app/App.h"
#include "admin/Admin.h"
#include "look/Look.h"
#include <commctrl.h>

std::string SystemIniPath()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\System.ini";
}

std::string IniValue(const std::string& file, const char* section, const char* entry)
{
    char text[256];
    GetPrivateProfileStringA(section, entry, "(missing)", text, sizeof text, file.c_str());
    return text;
}

void InitAdminGlobals()
{
    InitCommonControls();
    InitDialogLook();
    AppInstance = GetModuleHandleA(NULL);
    MainWindow = NULL;
    OptionsPanelWindow = NULL;
    lstrcpyA(ProgramInfo.caption, "Halcyne 2.08");
    GetWindowsDirectoryA(ProgramInfo.windowsDirectory, MAX_PATH);
    WindowsVersion = LOBYTE(LOWORD(GetVersion())) * 100 + HIBYTE(LOWORD(GetVersion()));
    OpenFileNameSize = LOBYTE(LOWORD(GetVersion())) >= 5 ? 88 : 76;
    ScreenSize.width = (short)GetSystemMetrics(SM_CXSCREEN);
    ScreenSize.height = (short)GetSystemMetrics(SM_CYSCREEN);
}

void ShellDialogTest::SetUp() { InitAdminGlobals(); }

void ShellDialogTest::TearDown()
{
    ForgetPendingSteps();
    MainWindow = NULL;
    OptionsPanelWindow = NULL;
    for (HWND window : standIns)
        DestroyWindow(window);
}

HWND ShellDialogTest::StandIn(const char* title, DWORD style)
{
    HWND window = CreateWindowExA(0, "STATIC", title, style, 0, 0, 100, 60, NULL, NULL, NULL, NULL);
    standIns.push_back(window);
    return window;
}

INT_PTR ShellDialogTest::RunDialog(int templateId, DLGPROC procedure, HWND owner)
{
    return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(templateId), owner, procedure, 0);
}

static bool MakeFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), NULL) != 0;
}

BrowserFolder::BrowserFolder()
    : enabled(BrowserEnabledPath), disabled(BrowserDisabledPath), enabledBackup(BrowserEnabledPath),
      disabledBackup(BrowserDisabledPath)
{
    madeTop = MakeFolder("C:\\progra~1");
    madeFolder = MakeFolder("C:\\progra~1\\intern~1");
    enabledBackup.Remove();
    disabledBackup.Remove();
}

BrowserFolder::~BrowserFolder()
{
    // The backups put back what was there before, after this body.
    enabledBackup.Remove();
    disabledBackup.Remove();
    if (madeFolder)
        RemoveDirectoryA("C:\\progra~1\\intern~1");
    if (madeTop)
        RemoveDirectoryA("C:\\progra~1");
}

void BrowserFolder::Put(const std::string& path) const
{
    WriteWholeFile(path, "browser");
}

bool ChooseFile(HWND dialog, const std::string& path)
{
    HWND name = GetDlgItem(dialog, 1148);
    if (!name)
        name = GetDlgItem(dialog, 0x480);
    if (!name)
        return false;
    SetWindowTextA(name, path.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return true;
}

std::vector<std::string> Started;
int CloseCount;

HINSTANCE WINAPI CountStart(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    Started.push_back(file);
    return (HINSTANCE)33;
}

static LRESULT CALLBACK FakeMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        CloseCount++;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeFakeMainWindow() { return MakeWindow("AdminFakeMain", FakeMainProc, "fake main", WS_POPUP); }

HWND LogIntoPanel(ShellProcess& shell, HWND main)
{
    PostKey(main, VK_F3);
    HWND security = shell.WaitForWindow("#32770", "Security (F3)");
    if (!security)
        return NULL;
    PostButtonClick(security, IDC_SECURITY_OK);
    return shell.WaitForWindow("#32770", "Halcyne 2.0 Options Panel");
}

PanelShell::PanelShell() : SavedValue(HKEY_CURRENT_USER, "Software\\HX_", "Password")
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "");
}

HWND PanelShell::OpenPanel() { return Start() ? LogIntoPanel(shell, main) : NULL; }

std::string TryLogin(ShellProcess& shell, HWND main, const char* typed)
{
    PostKey(main, VK_F3);
    HWND security = shell.WaitForWindow("#32770", "Security (F3)");
    if (!security)
        return "(no login)";
    SendMessageA(GetDlgItem(security, IDC_SECURITY_PASSWORD), WM_SETTEXT, 0, (LPARAM)typed);
    PostButtonClick(security, IDC_SECURITY_OK);
    HWND box = NULL, panel = NULL;
    WaitFor([&] {
        box = shell.WaitForWindow("#32770", "Halcyne 2.08", 0);
        panel = shell.WaitForWindow("#32770", "Halcyne 2.0 Options Panel", 0);
        return box || panel;
    });
    std::string result = box ? MessageBoxText(box) : panel ? "panel" : "(nothing)";
    if (box) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(box); });
        PostButtonClick(security, IDC_SECURITY_CANCEL);
    }
    if (panel)
        PostButtonClick(panel, IDC_PANEL_CANCEL);
    WaitFor([&] { return !IsWindow(security) && !IsWindow(panel); });
    return result;
}

#include "support/AdminSupport.h"
#include "res/resource.h"
#include "app/App.h"
#include "admin/Admin.h"
#include "look/Look.h"
#include <commctrl.h>
#include <vector>

bool ReadWholeFile(const std::string& path, std::string* content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content->clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0)
        content->append(buffer, got);
    CloseHandle(file);
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, content.data(), (DWORD)content.size(), &written, NULL);
    CloseHandle(file);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileBackup::FileBackup(const std::string& path) : path(path)
{
    existed = ReadWholeFile(path, &content);
}

FileBackup::~FileBackup()
{
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str());   // flush the profile cache
    if (existed)
        WriteWholeFile(path, content);
    else
        Remove();
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str());
}

void FileBackup::Remove() const
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

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

namespace {
struct PendingStep {
    std::string title;
    std::function<void(HWND)> step;
};
std::vector<PendingStep> Pending;
UINT_PTR StepTimer;

void CALLBACK RunPendingSteps(HWND, UINT, UINT_PTR, DWORD)
{
    for (size_t i = 0; i < Pending.size(); i++) {
        HWND dialog = FindOwnWindow("#32770", Pending[i].title.c_str());
        if (!dialog)
            continue;
        std::function<void(HWND)> step = Pending[i].step;
        Pending.erase(Pending.begin() + i);
        step(dialog);   // may nest modal loops that run this timer again
        return;
    }
}
}

void WhenShown(const char* title, std::function<void(HWND)> step)
{
    Pending.push_back({title, step});
    if (!StepTimer)
        StepTimer = SetTimer(NULL, 0, 100, RunPendingSteps);
}

void ForgetPendingSteps()
{
    Pending.clear();
}

HWND WaitForOwnDialog(const char* title, DWORD milliseconds)
{
    HWND found = NULL;
    WaitFor([&] { return (found = FindOwnWindow("#32770", title)) != NULL; }, milliseconds);
    return found;
}

void TypeText(HWND control, const char* text)
{
    for (const char* c = text; *c; c++)
        SendMessageA(control, WM_CHAR, (BYTE)*c, 1);
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool ticked)
{
    CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED);
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

HWND MakeFakeMainWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FakeMainProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "AdminFakeMain";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "AdminFakeMain", "fake main", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                           windowClass.hInstance, NULL);
}

HWND LogIntoPanel(ShellProcess& shell, HWND main)
{
    PostKey(main, VK_F3);
    HWND security = shell.WaitForWindow("#32770", "Security (F3)");
    if (!security)
        return NULL;
    PostButtonClick(security, IDC_SECURITY_OK);
    return shell.WaitForWindow("#32770", "Halcyne 2.0 Options Panel");
}

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

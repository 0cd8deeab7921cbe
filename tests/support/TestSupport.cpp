#include "TestSupport.h"
#include "core/Core.h"
#include "app/App.h"
#include "look/Look.h"
#include <shellapi.h>
#include <commctrl.h>
#include <cstdlib>
#include <cstring>

static std::string TempRoot()
{
    char buffer[MAX_PATH];
    GetTempPathA(MAX_PATH, buffer);
    return buffer;
}

TempFolder::TempFolder()
{
    static LONG counter;
    char name[MAX_PATH];
    wsprintfA(name, "%shalcyne-%lu-%lu-%ld", TempRoot().c_str(), GetCurrentProcessId(),
              GetTickCount(), InterlockedIncrement(&counter));
    path = name;
    CreateDirectoryA(path.c_str(), NULL);
}

static void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = folder + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

TempFolder::~TempFolder() { RemoveTree(path); }

std::string TempFolder::File(const std::string& name) const { return path + "\\" + name; }

void TempFolder::Write(const std::string& name, const std::string& content) const
{
    WriteWholeFile(File(name), content);
}

void DeleteKeyTree(HKEY root, const char* key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        char child[256];
        for (;;) {
            DWORD size = sizeof child;
            if (RegEnumKeyExA(handle, 0, child, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
                break;
            std::string path = std::string(key) + "\\" + child;
            DeleteKeyTree(root, path.c_str());
        }
        RegCloseKey(handle);
    }
    RegDeleteKeyA(root, key);
}

RegistryGuard::RegistryGuard(HKEY root, const std::string& key) : root(root), key(key) {}
RegistryGuard::~RegistryGuard() { DeleteKeyTree(root, key.c_str()); }

SavedValue::SavedValue(HKEY root, const std::string& key, const std::string& name)
    : root(root), key(key), name(name)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        DWORD size = 0;
        if (RegQueryValueExA(handle, name.c_str(), NULL, &type, NULL, &size) == ERROR_SUCCESS) {
            data.resize(size);
            existed = RegQueryValueExA(handle, name.c_str(), NULL, &type,
                                       data.empty() ? NULL : data.data(), &size) == ERROR_SUCCESS;
        }
        RegCloseKey(handle);
    }
}

SavedValue::~SavedValue()
{
    HKEY handle;
    if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL) != ERROR_SUCCESS)
        return;
    if (existed)
        RegSetValueExA(handle, name.c_str(), 0, type, data.empty() ? NULL : data.data(), (DWORD)data.size());
    else
        RegDeleteValueA(handle, name.c_str());
    RegCloseKey(handle);
}

void SetRegString(HKEY root, const char* key, const char* name, const char* value)
{
    HKEY handle;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL) == ERROR_SUCCESS) {
        RegSetValueExA(handle, name, 0, REG_SZ, (const BYTE*)value, lstrlenA(value) + 1);
        RegCloseKey(handle);
    }
}

void SetRegDword(HKEY root, const char* key, const char* name, DWORD value)
{
    HKEY handle;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL) == ERROR_SUCCESS) {
        RegSetValueExA(handle, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
        RegCloseKey(handle);
    }
}

bool GetRegString(HKEY root, const char* key, const char* name, std::string* value)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char buffer[4096] = "";
    DWORD size = sizeof buffer - 1, type = 0;
    bool ok = RegQueryValueExA(handle, name, NULL, &type, (BYTE*)buffer, &size) == ERROR_SUCCESS;
    RegCloseKey(handle);
    if (ok)
        *value = buffer;
    return ok;
}

bool GetRegDword(HKEY root, const char* key, const char* name, DWORD* value)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof *value, type = 0;
    bool ok = RegQueryValueExA(handle, name, NULL, &type, (BYTE*)value, &size) == ERROR_SUCCESS &&
              type == REG_DWORD;
    RegCloseKey(handle);
    return ok;
}

std::string RegText(const char* key, const char* name)
{
    std::string value = "(missing)";
    GetRegString(HKEY_CURRENT_USER, key, name, &value);
    return value;
}

void DeleteRegValue(HKEY root, const char* key, const char* name)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, name);
        RegCloseKey(handle);
    }
}

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

bool WriteWholeFile(const std::string& path, const std::string& content)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), (DWORD)content.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == content.size();
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

std::string ExeFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (slash)
        *slash = 0;
    return path;
}

std::string ShellExePath() { return ExeFolder() + "\\halcyne.exe"; }

void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        DrainQueue();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

void DrainQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {
struct PendingStep {
    std::string title;
    std::function<void(HWND)> step;
    DWORD since;
};
std::vector<PendingStep> Pending;
std::vector<std::pair<HWND, DWORD>> Handled;   // dialog, when its step returned
UINT_PTR StepTimer;
const DWORD StepWatchdog = 30000;

// Ends a dialog left open too long, so that its modal loop returns.
bool Overdue(HWND dialog, DWORD since)
{
    if (!dialog || !IsWindow(dialog) || GetTickCount() - since < StepWatchdog)
        return false;
    EndDialog(dialog, 99);
    return true;
}

HWND OwnHiddenDialog(const char* title)
{
    HWND dialog = FindWindowA("#32770", title);
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    return dialog && process == GetCurrentProcessId() ? dialog : NULL;
}

void CALLBACK RunPendingSteps(HWND, UINT, UINT_PTR, DWORD)
{
    for (size_t i = Handled.size(); i-- > 0;)
        if (!IsWindow(Handled[i].first) || Overdue(Handled[i].first, Handled[i].second))
            Handled.erase(Handled.begin() + i);
    for (size_t i = 0; i < Pending.size(); i++) {
        HWND dialog = FindOwnWindow("#32770", Pending[i].title.c_str());
        if (!dialog) {
            if (Overdue(OwnHiddenDialog(Pending[i].title.c_str()), Pending[i].since))
                Pending.erase(Pending.begin() + i);
            continue;
        }
        std::function<void(HWND)> step = Pending[i].step;
        Pending.erase(Pending.begin() + i);
        step(dialog);   // may nest modal loops that run this timer again
        Handled.push_back({dialog, GetTickCount()});
        return;
    }
}
}  // namespace

void WhenShown(const char* title, std::function<void(HWND)> step)
{
    Pending.push_back({title, step, GetTickCount()});
    if (!StepTimer)
        StepTimer = SetTimer(NULL, 0, 100, RunPendingSteps);
}

void AnswerBox(const char* caption, std::string* text)
{
    WhenShown(caption, [text](HWND box) {
        *text = MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
}

void ForgetPendingSteps()
{
    Pending.clear();
    Handled.clear();
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

static std::vector<HWND> ProcessWindows(DWORD processId, const char* className, bool visibleOnly);

HWND FindOwnWindow(const char* className, const char* title)
{
    for (HWND window : ProcessWindows(GetCurrentProcessId(), className, true))
        if (!title || WindowText(window) == title)
            return window;
    return NULL;
}

void ClickButton(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

bool ShellProcess::Start(const std::string& arguments, const std::string& desktopFolder)
{
    (void)desktopFolder;
    std::string path = exePath.empty() ? ShellExePath() : exePath;
    std::string command = "\"" + path + "\"";
    if (!arguments.empty())
        command += " " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    std::string folder = path.substr(0, path.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                          &startup, &info) != 0;
}

namespace {
struct EnumRequest {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND>* found;
};
BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data)
{
    EnumRequest* request = (EnumRequest*)data;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId)
        return TRUE;
    if (request->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (request->className && ClassOf(window) != request->className)
        return TRUE;
    request->found->push_back(window);
    return TRUE;
}
} // namespace

// Top-level windows of a process, optionally of one class, in Z order.
static std::vector<HWND> ProcessWindows(DWORD processId, const char* className, bool visibleOnly)
{
    std::vector<HWND> found;
    EnumRequest request = { processId, className, visibleOnly, &found };
    EnumWindows(CollectProcessWindow, (LPARAM)&request);
    return found;
}

std::vector<HWND> ShellProcess::Windows(const char* className, bool visibleOnly)
{
    return ProcessWindows(info.dwProcessId, className, visibleOnly);
}

HWND ShellProcess::WaitForMainWindow(DWORD milliseconds)
{
    HWND window = NULL;
    WaitFor([&] {
        window = FindWindowA("Win", "Tavix Halcyne 2.0");
        return window && IsWindowVisible(window);
    }, milliseconds);
    return window && IsWindowVisible(window) ? window : NULL;
}

HWND ShellProcess::WaitForWindow(const char* className, const char* title, DWORD milliseconds)
{
    HWND result = NULL;
    WaitFor([&] {
        for (HWND window : Windows(className))
            if (!title || WindowText(window) == title) {
                result = window;
                return true;
            }
        return false;
    }, milliseconds);
    return result;
}

bool ShellProcess::WaitForExit(DWORD milliseconds, DWORD* exitCode)
{
    if (!info.hProcess)
        return false;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(info.hProcess, 20) == WAIT_TIMEOUT) {
        Pump(0);
        if (GetTickCount() - start > milliseconds)
            return false;
    }
    if (exitCode)
        GetExitCodeProcess(info.hProcess, exitCode);
    return true;
}

void ShellProcess::Kill()
{
    if (info.hProcess) {
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        info = PROCESS_INFORMATION();
    }
}

ShellProcess::~ShellProcess() { Kill(); }

DesktopFolderGuard::DesktopFolderGuard(const std::string& folder)
    : saved(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop")
{
    SetRegString(HKEY_CURRENT_USER, saved.key.c_str(), "Desktop", folder.c_str());
}

QuietShell::QuietShell() : RegistryGuard(HKEY_CURRENT_USER, "Software\\Hx_")
{
    SetRegDword(HKEY_CURRENT_USER, "Software\\Hx_", "ShowTTS", 1);
}

bool DesktopShell::Start(const std::string& arguments)
{
    if (!shell.Start(arguments))
        return false;
    main = shell.WaitForMainWindow();
    return main != NULL;
}

void PostButtonClick(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void PostKey(HWND window, UINT virtualKey)
{
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

std::string WindowText(HWND window)
{
    char buffer[1024] = "";
    // WM_GETTEXT works across processes; GetWindowText does not for controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, (LPARAM)buffer, SMTO_ABORTIFHUNG, 2000, NULL);
    return buffer;
}

std::string ClassOf(HWND window)
{
    char buffer[256] = "";
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::string MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

HWND FindTopLevel(const char* className, const char* title)
{
    HWND window = FindWindowA(className, title);
    return window && IsWindowVisible(window) ? window : NULL;
}

HWND MakeWindow(const char* className, WNDPROC procedure, const char* title, DWORD style, RECT place,
                DWORD exStyle)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(exStyle, className, title, style, place.left, place.top, place.right,
                           place.bottom, NULL, NULL, windowClass.hInstance, NULL);
}

::testing::AssertionResult Placed(const RECT& rect, int left, int top, int width, int height)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (rect.left == left && rect.top == top && w == width && h == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << rect.left << ", " << rect.top << " sized " << w << " x " << h
                                         << ", not at " << left << ", " << top << " sized " << width << " x " << height;
}

::testing::AssertionResult Placed(HWND window, int left, int top, int width, int height)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return Placed(rect, left, top, width, height);
}

COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetWindowDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

bool WriteBitmapFile(const std::string& path, int width, int height,
                     const std::function<COLORREF(int x, int y)>& colour)
{
    DWORD stride = ((width * 3) + 3) & ~3u;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = stride * height;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string data((const char*)&file, sizeof file);
    data.append((const char*)&header, sizeof header);
    for (int y = height - 1; y >= 0; y--) {   // bottom row first
        std::string row(stride, 0);
        for (int x = 0; x < width; x++) {
            COLORREF c = colour(x, y);
            row[x * 3] = (char)GetBValue(c);
            row[x * 3 + 1] = (char)GetGValue(c);
            row[x * 3 + 2] = (char)GetRValue(c);
        }
        data += row;
    }
    return WriteWholeFile(path, data);
}

const char TitledWindowClass[] = "TestTitledWindow";
static const char TitledWindowSwitch[] = "--titled-window=";

static LRESULT CALLBACK TitledWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Started with the switch, a test executable only shows the titled window.
static int ServeTitledWindowIfAsked()
{
    const char* title = strstr(GetCommandLineA(), TitledWindowSwitch);
    if (!title)
        return 0;
    title += lstrlenA(TitledWindowSwitch);
    MakeWindow(TitledWindowClass, TitledWindowProc, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 30, 30, 240, 120 });
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    ExitProcess(0);
}
static const int TitledWindowServed = ServeTitledWindowIfAsked();

TitledWindowProcess::TitledWindowProcess(const std::string& title)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, MAX_PATH);
    std::string line = std::string("\"") + exe + "\" " + TitledWindowSwitch + title;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return;
    WaitFor([&] { return (window = FindTopLevel(TitledWindowClass, title.c_str())) != NULL; }, 10000);
}

bool TitledWindowProcess::Running() const
{
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD TitledWindowProcess::ExitCode(DWORD milliseconds) const
{
    DWORD code = STILL_ACTIVE;
    if (!info.hProcess)
        return code;
    WaitForSingleObject(info.hProcess, milliseconds);
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

TitledWindowProcess::~TitledWindowProcess()
{
    if (!info.hProcess)
        return;
    if (Running())
        TerminateProcess(info.hProcess, 0);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

int ListViewItemCount(HWND view)
{
    return (int)SendMessageA(view, LVM_GETITEMCOUNT, 0, 0);
}

std::string ListViewItemText(HWND view, int item)
{
    char text[260] = "";
    LVITEMA request = {};
    request.pszText = text;
    request.cchTextMax = sizeof text;
    SendMessageA(view, LVM_GETITEMTEXTA, item, (LPARAM)&request);
    return text;
}

static int AllocationsLeft;

static void* RationedAlloc(size_t size) { return AllocationsLeft-- > 0 ? malloc(size) : NULL; }

MemoryShortage::MemoryShortage(int left)
{
    AllocationsLeft = left;
    SetListAlloc(RationedAlloc);
}

MemoryShortage::~MemoryShortage() { SetListAlloc(NULL); }

void SendKeys(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < keys.size() * 2; i++) {
        bool up = i >= keys.size();
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = up ? keys[keys.size() * 2 - 1 - i] : keys[i];
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

static std::vector<WORD> RecordedKeys;

static LRESULT CALLBACK KeyRecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Keys stop here, so none of them turns into a system command.
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        RecordedKeys.push_back((WORD)wParam);
        return 0;
    }
    if (message == WM_KEYUP || message == WM_SYSKEYUP || message == WM_SYSCHAR)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

KeyRecorder::KeyRecorder()
{
    window = MakeWindow("TestKeyRecorder", KeyRecorderProc, "key recorder", WS_POPUP | WS_VISIBLE,
                        { 0, 0, 120, 60 }, WS_EX_TOPMOST);
}

KeyRecorder::~KeyRecorder() { DestroyWindow(window); }

bool KeyRecorder::Reached(const std::vector<WORD>& keys, WORD watched)
{
    SetForegroundWindow(window);
    SetFocus(window);
    WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
    RecordedKeys.clear();
    SendKeys(keys);
    SendKeys({ VK_F24 });
    auto seen = [](WORD key) {
        for (WORD recorded : RecordedKeys)
            if (recorded == key)
                return true;
        return false;
    };
    WaitFor([&] { return seen(VK_F24); });
    return seen(watched);
}

HWND MakeShellMainWindow(DWORD style)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    InitShellState(instance);
    InitDialogLook();
    RegisterShellWindowClass(instance);
    MainWindow = CreateWindowExA(0, "Win", "Tavix Halcyne 2.0 (test)", style, 0, 0, ScreenSize.width,
                                 ScreenSize.height, NULL, NULL, instance, NULL);
    return MainWindow;
}

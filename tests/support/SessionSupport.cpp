#include "SessionSupport.h"
#include <objbase.h>
#include <shlobj.h>
#include <cstring>

static const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
static const char* const TempVariables[] = { "TMP", "TEMP" };

AppDataFolder::AppDataFolder() : saved(HKEY_CURRENT_USER, ShellFolders, "AppData")
{
    SetRegString(HKEY_CURRENT_USER, ShellFolders, "AppData", folder.path.c_str());
}

GuestTempFolder::GuestTempFolder() : path(outer.File("Temp"))
{
    CreateDirectoryA(path.c_str(), NULL);
    for (int i = 0; i < 2; i++) {
        char value[MAX_PATH];
        DWORD length = GetEnvironmentVariableA(TempVariables[i], value, sizeof value);
        had[i] = length > 0 && length < sizeof value;
        saved[i] = had[i] ? value : "";
        SetEnvironmentVariableA(TempVariables[i], path.c_str());
    }
}

GuestTempFolder::~GuestTempFolder()
{
    for (int i = 0; i < 2; i++)
        SetEnvironmentVariableA(TempVariables[i], had[i] ? saved[i].c_str() : NULL);
}

bool MakeShortcut(const std::string& path, const std::string& target)
{
    CoInitialize(NULL);
    IShellLinkA* link = NULL;
    bool made = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link))) {
        IPersistFile* file = NULL;
        link->SetPath(target.c_str());
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            made = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return made;
}

static const char StubbornSwitch[] = "--stubborn-window=";
static const char StubbornClass[] = "TestStubbornWindow";

static LRESULT CALLBACK StubbornProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Started with the switch, a test executable only shows the stubborn window.
static int ServeStubbornWindowIfAsked()
{
    const char* title = strstr(GetCommandLineA(), StubbornSwitch);
    if (!title)
        return 0;
    MakeWindow(StubbornClass, StubbornProc, title + lstrlenA(StubbornSwitch), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
               { 40, 40, 240, 120 });
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    ExitProcess(0);
}
static const int StubbornServed = ServeStubbornWindowIfAsked();

StubbornWindowProcess::StubbornWindowProcess(const std::string& title)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, MAX_PATH);
    std::string line = std::string("\"") + exe + "\" " + StubbornSwitch + title;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return;
    WaitFor([&] { return (window = FindTopLevel(StubbornClass, title.c_str())) != NULL; }, 10000);
}

DWORD StubbornWindowProcess::ExitCode(DWORD milliseconds) const
{
    DWORD code = STILL_ACTIVE;
    if (info.hProcess && WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    return code;
}

StubbornWindowProcess::~StubbornWindowProcess()
{
    if (!info.hProcess)
        return;
    TerminateProcess(info.hProcess, 0);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

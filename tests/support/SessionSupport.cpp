#include "SessionSupport.h"
#include <objbase.h>
#include <shlobj.h>

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

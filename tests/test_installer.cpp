// The setup program and its uninstaller from dist/ (scripts/release.sh), run
// silently as a deployment script runs them, and the shell they install.
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halcyne 2";

std::string DistFolder()
{
    std::string path = "Z:" HALCYNE_DIST_DIR;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The newest setup program in dist/ and the version its name carries.
bool FindSetup(std::string* path, std::string* version)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((DistFolder() + "\\halcyne-*-setup.exe").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    std::string name = found.cFileName;
    *path = DistFolder() + "\\" + name;
    *version = name.substr(8, name.size() - 8 - 10);
    return true;
}

// Exit code of a program run to its end, or -1.
DWORD RunToEnd(const std::string& command)
{
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return (DWORD)-1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return code;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const char* key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::string SystemIni()
{
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    return std::string(path) + "\\System.ini";
}

std::string BootShell()
{
    char text[MAX_PATH];
    GetPrivateProfileStringA("Boot", "Shell", "ERROR", text, MAX_PATH, SystemIni().c_str());
    return text;
}

void SetBootShell(const char* shell) { WritePrivateProfileStringA("Boot", "Shell", shell, SystemIni().c_str()); }

// Installs and removes around one test; the boot shell entry is put back after it.
class Installer : public ::testing::Test {
protected:
    std::string setup, version, folder, savedShell = BootShell();

    void SetUp() override
    {
        // NSIS builds 32-bit programs only, and the x86-64 tests run where 32-bit Wine cannot.
        if (sizeof(void*) != 4)
            GTEST_SKIP() << "the installer is a 32-bit program and this host cannot execute 32-bit code";
        ASSERT_TRUE(FindSetup(&setup, &version)) << "no setup program in " << DistFolder()
                                                 << ": scripts/release.sh makes it";
        char programs[MAX_PATH] = "C:\\Program Files";
        DWORD size = sizeof programs;
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) == 0) {
            RegQueryValueExA(key, "ProgramFilesDir", NULL, NULL, (BYTE*)programs, &size);
            RegCloseKey(key);
        }
        folder = std::string(programs) + "\\Halcyne 2";
    }
    void TearDown() override
    {
        if (Exists(folder + "\\uninstall.exe")) {
            RunToEnd("\"" + folder + "\\uninstall.exe\" /S");
            WaitFor([&] { return !Exists(folder); }, 20000);
        }
        SetBootShell(savedShell == "ERROR" ? NULL : savedShell.c_str());
    }
    // The uninstaller runs from a copy in the temp folder: wait for its work, not for it.
    bool Uninstall(const std::string& switches)
    {
        std::string command;
        GetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "QuietUninstallString", &command);
        if (RunToEnd(command + switches) != 0)
            return false;
        return WaitFor([&] { return !Exists(folder) && !KeyExists(HKEY_LOCAL_MACHINE, UninstallKey); }, 20000);
    }
};
}

TEST_F(Installer, ShellSwitchInstallsStartsAndUninstallsBackToExplorer)
{
    SetBootShell("explorer.exe");
    QuietShell quiet;
    ASSERT_EQ(0u, RunToEnd("\"" + setup + "\" /S /SHELL=1"));

    std::string exe = folder + "\\halcyne.exe", value;
    for (const char* file : { "halcyne.exe", "uninstall.exe", "README-ADMIN.txt", "LICENSE.txt",
                              "deploy\\halcyne-defaults.reg", "deploy\\guest-restrictions.reg" })
        EXPECT_TRUE(Exists(folder + "\\" + file)) << file;
    EXPECT_TRUE(GetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName", &value) && value == "Halcyne 2");
    EXPECT_TRUE(GetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayVersion", &value) && value == version);
    EXPECT_TRUE(GetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString", &value)
                && value == "\"" + folder + "\\uninstall.exe\"");
    EXPECT_TRUE(GetRegString(HKEY_LOCAL_MACHINE, UninstallKey, "Publisher", &value) && !value.empty());
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(exe.c_str(), shortPath, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA(BootShell().c_str(), shortPath)) << BootShell();

    quiet.shell.exe = exe;
    ASSERT_TRUE(quiet.Start()) << "the installed shell showed no main window";
    quiet.shell.Kill();

    ASSERT_TRUE(Uninstall(" /REMOVESETTINGS")) << "files or the uninstall entry left behind";
    EXPECT_EQ("explorer.exe", BootShell());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Hx_"));
}

TEST_F(Installer, WithoutShellSwitchBootShellAndSettingsStay)
{
    SetBootShell("C:\\KIOSK\\MENU.EXE");
    RegistryGuard product(HKEY_CURRENT_USER, "Software\\Hx_");
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Password", "secret");
    ASSERT_EQ(0u, RunToEnd("\"" + setup + "\" /S"));
    EXPECT_TRUE(Exists(folder + "\\halcyne.exe"));
    EXPECT_EQ("C:\\KIOSK\\MENU.EXE", BootShell());

    ASSERT_TRUE(Uninstall("")) << "files or the uninstall entry left behind";
    EXPECT_EQ("C:\\KIOSK\\MENU.EXE", BootShell());
    std::string password;
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Password", &password) && password == "secret");
}

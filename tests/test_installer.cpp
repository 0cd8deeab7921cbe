// The setup program and its uninstaller from dist/ (scripts/release.sh), run
// silently as a deployment script runs them, and the shell they install.
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halcyne 2";
const char SystemPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// "1" for a REG_DWORD 1, as Guest Restrictions writes it; "-" for no value.
std::string Policy(const char* name)
{
    DWORD number = 0;
    if (GetRegDword(HKEY_CURRENT_USER, SystemPolicies, name, &number))
        return std::to_string(number);
    return "-";
}

bool WindowsNT() { return (GetVersion() & 0x80000000) == 0; }

// The setup program in dist/ and the version its name carries.
bool FindSetup(std::string* path, std::string* version)
{
    std::string folder = "Z:" HALCYNE_DIST_DIR;
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\halcyne-*-setup.exe").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    std::string name = found.cFileName;
    *path = folder + "\\" + name;
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

std::string UninstallValue(const char* name)
{
    std::string value = "(absent)";
    GetRegString(HKEY_LOCAL_MACHINE, UninstallKey, name, &value);
    return value;
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

// Removes what a test installed and puts the boot shell entry back.
class Installer : public ::testing::Test {
protected:
    std::string setup, version, folder = "C:\\Program Files", savedShell = BootShell();
    SavedValue taskManager{HKEY_CURRENT_USER, SystemPolicies, "DisableTaskMgr"};
    SavedValue registryTools{HKEY_CURRENT_USER, SystemPolicies, "DisableRegistryTools"};

    void SetUp() override
    {
        // x86-64 test builds run only where 32-bit Wine cannot; NSIS makes 32-bit programs.
        if (sizeof(void*) != 4)
            GTEST_SKIP() << "the installer is a 32-bit program and this host cannot execute 32-bit code";
        ASSERT_TRUE(FindSetup(&setup, &version)) << "no setup program in dist/: scripts/release.sh makes it";
        GetRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", &folder);
        folder += "\\Halcyne 2";
    }
    void TearDown() override
    {
        if (Exists(folder + "\\uninstall.exe"))
            Uninstall("");
        SetBootShell(savedShell == "ERROR" ? NULL : savedShell.c_str());
    }
    // The uninstaller runs from a copy in the temp folder: wait for its work, not for it.
    bool Uninstall(const std::string& switches)
    {
        if (RunToEnd("\"" + folder + "\\uninstall.exe\" /S" + switches) != 0)
            return false;
        return WaitFor([&] { return !Exists(folder) && UninstallValue("DisplayName") == "(absent)"; }, 20000);
    }
};
}

TEST_F(Installer, ShellSwitchInstallsStartsAndUninstallsBackToExplorer)
{
    SetBootShell("explorer.exe");
    QuietShell quiet;
    ASSERT_EQ(0u, RunToEnd("\"" + setup + "\" /S /SHELL=1 /PASSWORD=Open-Sesame"));
    std::string password;
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Password", &password));
    EXPECT_EQ("open-sesame", password) << "lowercase, as the Security dialog's field gives it";
    // Only 2000/XP open the Task Manager on Ctrl+Alt+Del.
    EXPECT_EQ(WindowsNT() ? "1" : "-", Policy("DisableTaskMgr"));
    EXPECT_EQ(WindowsNT() ? "1" : "-", Policy("DisableRegistryTools"));

    for (const char* file : { "halcyne.exe", "uninstall.exe", "README-ADMIN.txt", "LICENSE.txt",
                              "deploy\\halcyne-defaults.reg", "deploy\\guest-restrictions.reg" })
        EXPECT_TRUE(Exists(folder + "\\" + file)) << file;
    EXPECT_EQ("Halcyne 2", UninstallValue("DisplayName"));
    EXPECT_EQ(version, UninstallValue("DisplayVersion"));
    EXPECT_EQ("\"" + folder + "\\uninstall.exe\"", UninstallValue("UninstallString"));
    EXPECT_EQ("\"" + folder + "\\uninstall.exe\" /S", UninstallValue("QuietUninstallString"));
    EXPECT_NE("(absent)", UninstallValue("Publisher"));
    std::string exe = folder + "\\halcyne.exe";
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(exe.c_str(), shortPath, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA(BootShell().c_str(), shortPath)) << BootShell();

    quiet.shell.exePath = exe;
    ASSERT_TRUE(quiet.Start()) << "the installed shell showed no main window";
    quiet.shell.Kill();

    ASSERT_TRUE(Uninstall(" /REMOVESETTINGS")) << "files or the uninstall entry left behind";
    EXPECT_EQ("explorer.exe", BootShell());
    DWORD showTips;
    EXPECT_FALSE(GetRegDword(HKEY_CURRENT_USER, "Software\\Hx_", "ShowTTS", &showTips)) << "settings left";
    EXPECT_EQ("-", Policy("DisableTaskMgr"));
    EXPECT_EQ("-", Policy("DisableRegistryTools"));
}

// Each policy can be left alone; a password the Security dialog could never
// take (over 63 characters) stops the setup before it installs anything.
TEST_F(Installer, PolicySwitchesAndAnOverlongPassword)
{
    RegistryGuard product(HKEY_CURRENT_USER, "Software\\Hx_");
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Password", "kept");
    const struct { const char* switches; const char* taskManager; const char* registryTools; } cases[] = {
        { " /SHELL=1 /DISABLETASKMGR=0", "-", "1" },
        { " /SHELL=1 /DISABLEREGEDIT=0", "1", "-" },
        { " /DISABLETASKMGR=1", "-", "-" },
    };
    for (const auto& c : cases) {
        DeleteRegValue(HKEY_CURRENT_USER, SystemPolicies, "DisableTaskMgr");
        DeleteRegValue(HKEY_CURRENT_USER, SystemPolicies, "DisableRegistryTools");
        ASSERT_EQ(0u, RunToEnd("\"" + setup + "\" /S" + c.switches)) << c.switches;
        EXPECT_EQ(WindowsNT() ? c.taskManager : "-", Policy("DisableTaskMgr")) << c.switches;
        EXPECT_EQ(WindowsNT() ? c.registryTools : "-", Policy("DisableRegistryTools")) << c.switches;
        ASSERT_TRUE(Uninstall("")) << c.switches;
    }
    std::string password;
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Password", &password) && password == "kept");
    EXPECT_EQ(2u, RunToEnd("\"" + setup + "\" /S /PASSWORD=" + std::string(64, 'a')));
    EXPECT_FALSE(Exists(folder));
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Password", &password) && password == "kept");
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

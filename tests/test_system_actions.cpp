// System settings actions: the boot shell entry, the browser's two names, the
// swap entry, the screen mode, the hand-over to Windows and the shell unload.
#include "admin/Admin.h"
#include "app/App.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {



struct ActionsFixture : ::testing::Test {
    FileBackup systemIni{SystemIniPath()};
    void SetUp() override
    {
        InitAdminGlobals();
        Started.clear();
        CloseCount = 0;
        SetShellStart(CountStart);
        MainWindow = MakeFakeMainWindow();
    }
    void TearDown() override
    {
        SetShellStart(ShellExecuteA);
        DestroyWindow(MainWindow);
        MainWindow = NULL;
        ShellUnloaded = 0;
    }
    void SetShell(const char* shell)
    {
        WritePrivateProfileStringA("Boot", "Shell", shell, SystemIniPath().c_str());
    }
};

TEST_F(ActionsFixture, BootShellEntryReadsErrorWhenMissingAndIsWritten)
{
    SetShell(NULL);
    char shell[256];
    EXPECT_EQ(5u, ReadBootShell(shell));
    EXPECT_STREQ("ERROR", shell);
    WriteBootShell("C:\\HALCYNE.EXE");
    EXPECT_EQ("C:\\HALCYNE.EXE", IniValue(SystemIniPath(), "Boot", "Shell"));
    ReadBootShell(shell);
    EXPECT_STREQ("C:\\HALCYNE.EXE", shell);
}

TEST_F(ActionsFixture, SwapEntryIsOneOrZero)
{
    SetConservativeSwap();
    EXPECT_EQ("1", IniValue(SystemIniPath(), "386Enh", "ConservativeSwapFileUsage"));
    ClearConservativeSwap();
    EXPECT_EQ("0", IniValue(SystemIniPath(), "386Enh", "ConservativeSwapFileUsage"));
}

// MsDos.sys as the platform's writes meet it, recorded; Wine lets root write
// a read-only file, so a refused write is played here.
std::vector<DWORD> AttributesAtWrite;
BOOL RefuseWrites;
BOOL WatchedWrite(const char* file, const char* section, const char* entry, const char* value)
{
    AttributesAtWrite.push_back(GetFileAttributesA(file));
    return !RefuseWrites && WriteIniString(file, section, entry, value);
}

// Windows 95/98/ME: the read-only, hidden, system MsDos.sys is unlocked for
// the write and locked again as it was; a write that does not take is told.
TEST_F(ActionsFixture, DosSecurityUnlocksMsDosSysForTheWriteAndTellsAFailure)
{
    FileBackup msdos(MsDosSysPath);
    WriteWholeFile(MsDosSysPath, "[Options]\r\nBootKeys=1\r\n");
    const DWORD locks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(MsDosSysPath, locks));
    DWORD before = GetFileAttributesA(MsDosSysPath);
    ASSERT_EQ(locks, before & locks);
    WindowsVersion = 410;
    SetMsDosSysWrite(WatchedWrite);
    RefuseWrites = FALSE;
    WriteDosSecurity(MainWindow, TRUE);
    ASSERT_EQ(4u, AttributesAtWrite.size());
    for (DWORD seen : AttributesAtWrite)
        EXPECT_EQ(0u, seen & locks);
    EXPECT_EQ(before, GetFileAttributesA(MsDosSysPath));
    EXPECT_EQ("0", IniValue(MsDosSysPath, "Options", "BootWarn"));

    RefuseWrites = TRUE;
    std::string told;
    AnswerBox("Halcyne 2.08", &told);
    WriteDosSecurity(MainWindow, FALSE);
    ForgetPendingSteps();
    EXPECT_EQ("Could not write C:\\MsDos.sys: DOS Security is not in effect !", told);
    EXPECT_EQ(before, GetFileAttributesA(MsDosSysPath));
    SetMsDosSysWrite(WriteIniString);
    SetFileAttributesA(MsDosSysPath, FILE_ATTRIBUTE_NORMAL);
}

TEST(BrowserSwitch, RenamesBetweenTheTwoNamesOnlyWhenOneExists)
{
    BrowserFolder browser;
    EXPECT_FALSE(FileExists(BrowserEnabledPath));
    EXPECT_FALSE(FileExists(BrowserDisabledPath));
    DisableBrowser();
    EnableBrowser();
    EXPECT_FALSE(Exists(browser.enabled));
    EXPECT_FALSE(Exists(browser.disabled));

    browser.Put(browser.enabled);
    EXPECT_TRUE(FileExists(BrowserEnabledPath));
    EnableBrowser();   // nothing to enable
    EXPECT_TRUE(Exists(browser.enabled));
    DisableBrowser();
    EXPECT_FALSE(Exists(browser.enabled));
    EXPECT_TRUE(FileExists(BrowserDisabledPath));
    DisableBrowser();
    EXPECT_TRUE(Exists(browser.disabled));
    EnableBrowser();
    EXPECT_TRUE(Exists(browser.enabled));
    EXPECT_FALSE(Exists(browser.disabled));

    // Both names: neither rename can happen.
    browser.Put(browser.disabled);
    DisableBrowser();
    EXPECT_TRUE(Exists(browser.enabled));
    EXPECT_TRUE(Exists(browser.disabled));
    EnableBrowser();
    EXPECT_TRUE(Exists(browser.enabled));
    EXPECT_TRUE(Exists(browser.disabled));
}

TEST(BrowserSwitch, FileHeldExclusivelyCountsAsAbsent)
{
    BrowserFolder browser;
    browser.Put(browser.enabled);
    HANDLE held = CreateFileA(BrowserEnabledPath, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(FileExists(BrowserEnabledPath));
    CloseHandle(held);
    EXPECT_TRUE(FileExists(BrowserEnabledPath));
}

struct QuitCase {
    BYTE unloaded;
    const char* shell;         // null: no entry
    size_t starts;
    const char* shellAfter;
};

TEST_F(ActionsFixture, QuitToWindowsStartsExplorerAsOftenAsNeeded)
{
    const QuitCase cases[] = {
        {0, "explorer.exe", 0, "explorer.exe"},
        {0, "EXPLORER.Exe", 0, "EXPLORER.Exe"},
        {0, "C:\\HALCYN~1.EXE", 1, "Explorer.exe"},
        {0, NULL, 1, "Explorer.exe"},
        {1, "explorer.exe", 2, "explorer.exe"},
        {1, "C:\\HALCYN~1.EXE", 3, "Explorer.exe"},
        {1, NULL, 3, "Explorer.exe"},
    };
    for (const QuitCase& c : cases) {
        SCOPED_TRACE(std::string(c.shell ? c.shell : "(none)") + (c.unloaded ? " unloaded" : ""));
        SetShell(c.shell);
        ShellUnloaded = c.unloaded;
        Started.clear();
        CloseCount = 0;
        QuitToWindows();
        EXPECT_EQ(c.starts, Started.size());
        for (const std::string& file : Started)
            EXPECT_EQ("explorer.exe", file);
        EXPECT_EQ(c.shellAfter, IniValue(SystemIniPath(), "Boot", "Shell"));
        EXPECT_EQ(1, CloseCount);
        EXPECT_EQ(c.unloaded, ShellUnloaded);
    }
}

// Wine's own desktop may carry a visible "Program Manager": the unload would end it.
bool ForeignShellVisible()
{
    HWND shell = FindWindowA(NULL, "Program Manager");
    return shell && IsWindowVisible(shell);
}

TEST_F(ActionsFixture, UnloadEndsTheFirstProgramManagerByTitlePrefix)
{
    if (ForeignShellVisible())
        GTEST_SKIP() << "a visible Program Manager window of Wine's own is present";
    TitledWindowProcess lookalike("Program Managex");
    TitledWindowProcess shell("pROGRAM mANAGER and more");
    ASSERT_NE(nullptr, FindTopLevel(TitledWindowClass, "pROGRAM mANAGER and more"));
    EXPECT_TRUE(UnloadWindowsShell());
    EXPECT_EQ(1, ShellUnloaded);
    EXPECT_EQ(19u, shell.ExitCode(5000));
    EXPECT_EQ((DWORD)STILL_ACTIVE, lookalike.ExitCode(0));
}

TEST_F(ActionsFixture, UnloadWithoutShellWindowClearsTheFlag)
{
    if (ForeignShellVisible())
        GTEST_SKIP() << "a visible Program Manager window of Wine's own is present";
    TitledWindowProcess lookalike("Program Manage");
    ShellUnloaded = 1;
    EXPECT_FALSE(UnloadWindowsShell());
    EXPECT_EQ(0, ShellUnloaded);
    EXPECT_EQ((DWORD)STILL_ACTIVE, lookalike.ExitCode(0));
}

DEVMODEA RegistryMode()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_REGISTRY_SETTINGS, &mode);
    return mode;
}

// The panel asks for 16 bits per pixel; whether the display takes a mode is
// the display's affair: a refused mode leaves the screen and the stored mode.
TEST(ScreenMode, ChangesTheStoredModeOrLeavesItWhenRefused)
{
    DEVMODEA before = RegistryMode();
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    DEVMODEA probe = before;
    probe.dmPelsWidth = 800;
    probe.dmPelsHeight = 600;
    probe.dmBitsPerPel = 16;
    bool accepted = ChangeDisplaySettingsA(&probe, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
    EXPECT_EQ(0, ChangeScreenMode(800, 600, 16));
    WaitFor([&] { return GetSystemMetrics(SM_CXSCREEN) == (accepted ? 800 : width); }, 3000);
    DEVMODEA after = RegistryMode();
    int changedWidth = GetSystemMetrics(SM_CXSCREEN);
    ChangeScreenMode(width, height, before.dmBitsPerPel);
    WaitFor([&] { return GetSystemMetrics(SM_CXSCREEN) == width; }, 3000);
    if (accepted) {
        EXPECT_EQ(800u, after.dmPelsWidth);
        EXPECT_EQ(600u, after.dmPelsHeight);
        EXPECT_EQ(before.dmDisplayFrequency, after.dmDisplayFrequency);
        EXPECT_EQ(800, changedWidth);
    } else {
        printf("the display refuses 800 x 600 x 16\n");
        EXPECT_EQ(before.dmPelsWidth, after.dmPelsWidth);
        EXPECT_EQ(width, changedWidth);
    }
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSCREEN));
}

}  // namespace

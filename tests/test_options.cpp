// The Options Panel: what it shows on opening for each source, what OK writes
// and Cancel does not, the buttons that act at once, the dialogs it opens.
#include "admin/Admin.h"
#include "app/App.h"
#include "desktop/Desktop.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <vector>

namespace {

const char PanelTitle[] = "Halcyne 2.0 Options Panel";
const char Desktop[] = "Control Panel\\Desktop";
const char PanelKey[] = "Software\\HX_";
const char VideoKey[] = "Software\\Hx_";

DWORD RegNumber(const char* key, const char* name)
{
    DWORD value = 0xDEAD;
    GetRegDword(HKEY_CURRENT_USER, key, name, &value);
    return value;
}

struct PanelFixture : ShellDialogTest {
    FileBackup systemIni{SystemIniPath()};
    FileBackup msdos{MsDosSysPath};
    BrowserFolder browser;
    SavedValue wallpaper{HKEY_CURRENT_USER, "Control Panel\\Desktop\\", "WallPaper"};
    SavedValue drag{HKEY_CURRENT_USER, Desktop, "DragFullWindows"};
    SavedValue freeMemory{HKEY_CURRENT_USER, PanelKey, "FreeMemAtStartup"};
    SavedValue cost{HKEY_CURRENT_USER, PanelKey, "Hcost"};
    SavedValue cost2{HKEY_CURRENT_USER, PanelKey, "Hcost2"};
    SavedValue video{HKEY_CURRENT_USER, VideoKey, "Video"};
    SavedValue password{HKEY_CURRENT_USER, PanelKey, "Password"};
    std::string ini;

    void SetUp() override
    {
        ShellDialogTest::SetUp();
        ini = SystemIniPath();
        Started.clear();
        CloseCount = 0;
        SetShellStart(CountStart);
        standIns.push_back(MainWindow = MakeFakeMainWindow());
        for (const char* name : {"FreeMemAtStartup", "Hcost", "Hcost2", "Password"})
            DeleteRegValue(HKEY_CURRENT_USER, PanelKey, name);
        DeleteRegValue(HKEY_CURRENT_USER, VideoKey, "Video");
        DeleteRegValue(HKEY_CURRENT_USER, Desktop, "DragFullWindows");
        DeleteRegValue(HKEY_CURRENT_USER, Desktop, "WallPaper");
        WritePrivateProfileStringA("Boot", "Shell", NULL, ini.c_str());
        WritePrivateProfileStringA("386Enh", "ConservativeSwapFileUsage", NULL, ini.c_str());
        msdos.Remove();
        FreeMemOnLaunch = 0;
        ShellUnloaded = 0;
    }
    void TearDown() override
    {
        SetShellStart(ShellExecuteA);
        ShellDialogTest::TearDown();
    }
    INT_PTR Run(std::function<void(HWND)> step)
    {
        WhenShown(PanelTitle, step);
        return RunDialog(IDD_OPTIONS_PANEL, OptionsPanel, MainWindow);
    }
};

// The panel's six check boxes, all ticked or all cleared.
void TickBoxes(HWND panel, bool ticked)
{
    for (int id : {IDC_PANEL_BOOT, IDC_PANEL_DOS, IDC_PANEL_BROWSER, IDC_PANEL_SWAP,
                   IDC_PANEL_DRAG_FULL, IDC_PANEL_FREE_MEMORY})
        SetChecked(panel, id, ticked);
}

struct OpeningState {
    bool boot, dos, browser, swap, drag, freeMemory, video800, video1024;
    std::string wallpaper, cost, cost2;
};

OpeningState ReadOpening(HWND panel);

// What the panel shows on opening; then Cancel.
OpeningState Opening(PanelFixture& fixture)
{
    OpeningState s;
    fixture.Run([&](HWND panel) {
        s = ReadOpening(panel);
        ClickButton(panel, IDC_PANEL_CANCEL);
    });
    return s;
}

OpeningState ReadOpening(HWND panel)
{
    OpeningState s;
    s.boot = Checked(panel, IDC_PANEL_BOOT);
    s.dos = Checked(panel, IDC_PANEL_DOS);
    s.browser = Checked(panel, IDC_PANEL_BROWSER);
    s.swap = Checked(panel, IDC_PANEL_SWAP);
    s.drag = Checked(panel, IDC_PANEL_DRAG_FULL);
    s.freeMemory = Checked(panel, IDC_PANEL_FREE_MEMORY);
    s.video800 = Checked(panel, IDC_PANEL_800);
    s.video1024 = Checked(panel, IDC_PANEL_1024);
    s.wallpaper = WindowText(GetDlgItem(panel, IDC_PANEL_WALLPAPER));
    s.cost = WindowText(GetDlgItem(panel, IDC_PANEL_HCOST));
    s.cost2 = WindowText(GetDlgItem(panel, IDC_PANEL_HCOST2));
    return s;
}

TEST_F(PanelFixture, OpensWithMissingSourcesAsUnticked)
{
    OpeningState s;
    HWND owner = NULL;
    EXPECT_EQ(2, Run([&](HWND panel) {
        s = ReadOpening(panel);
        owner = GetWindow(panel, GW_OWNER);
        EXPECT_EQ(panel, OptionsPanelWindow);
        ClickButton(panel, IDC_PANEL_CANCEL);
    }));
    EXPECT_TRUE(s.boot);   // a missing shell entry is not explorer.exe
    EXPECT_FALSE(s.dos);
    EXPECT_FALSE(s.browser);
    EXPECT_FALSE(s.swap);
    EXPECT_FALSE(s.drag);
    EXPECT_FALSE(s.freeMemory);
    EXPECT_FALSE(s.video800);
    EXPECT_FALSE(s.video1024);
    EXPECT_EQ("", s.wallpaper);
    EXPECT_EQ(MainWindow, owner);
    // Cancel wrote nothing, not even the MsDos.sys that was missing.
    EXPECT_FALSE(Exists(MsDosSysPath));
    EXPECT_EQ("(missing)", IniValue(ini, "Boot", "Shell"));
}

// An unknown Windows directory reads no SYSTEM.INI from the current drive's root.
TEST_F(PanelFixture, UnknownWindowsDirectoryReadsNoSystemIniOfTheDriveRoot)
{
    FileBackup rootIni("C:\\SYSTEM.INI");
    WritePrivateProfileStringA("386Enh", "ConservativeSwapFileUsage", "1", "C:\\SYSTEM.INI");
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    SetCurrentDirectoryA("C:\\");
    ProgramInfo.windowsDirectory[0] = 0;
    bool swap = true;
    Run([&](HWND panel) {
        swap = Checked(panel, IDC_PANEL_SWAP);
        ClickButton(panel, IDC_PANEL_CANCEL);
    });
    SetCurrentDirectoryA(current);
    EXPECT_FALSE(swap);
}

TEST_F(PanelFixture, OpensShowingEverySourceSet)
{
    WritePrivateProfileStringA("Boot", "Shell", "EXPLORER.EXE", ini.c_str());
    WritePrivateProfileStringA("Options", "BootKeys", "0", MsDosSysPath);
    browser.Put(browser.disabled);
    WritePrivateProfileStringA("386Enh", "ConservativeSwapFileUsage", "1", ini.c_str());
    SetRegString(HKEY_CURRENT_USER, Desktop, "DragFullWindows", "1");
    SetRegDword(HKEY_CURRENT_USER, PanelKey, "FreeMemAtStartup", 1);
    SetRegString(HKEY_CURRENT_USER, PanelKey, "Hcost", "12");
    SetRegString(HKEY_CURRENT_USER, PanelKey, "Hcost2", "7");
    SetRegDword(HKEY_CURRENT_USER, VideoKey, "Video", 800);
    SetRegString(HKEY_CURRENT_USER, Desktop, "WallPaper", "C:\\windows\\clouds.bmp");
    OpeningState s = Opening(*this);
    EXPECT_FALSE(s.boot);
    EXPECT_TRUE(s.dos);
    EXPECT_TRUE(s.browser);
    EXPECT_TRUE(s.swap);
    EXPECT_TRUE(s.drag);
    EXPECT_TRUE(s.freeMemory);
    EXPECT_TRUE(s.video800);
    EXPECT_FALSE(s.video1024);
    EXPECT_EQ("C:\\windows\\clouds.bmp", s.wallpaper);
    EXPECT_EQ("12", s.cost);
    EXPECT_EQ("7", s.cost2);
}

TEST_F(PanelFixture, BrowserBoxFollowsTheDisabledNameOnly)
{
    WritePrivateProfileStringA("Boot", "Shell", "C:\\OTHER.EXE", ini.c_str());
    WritePrivateProfileStringA("Options", "BootKeys", "1", MsDosSysPath);
    SetRegDword(HKEY_CURRENT_USER, VideoKey, "Video", 1024);
    SetRegString(HKEY_CURRENT_USER, Desktop, "DragFullWindows", "x1");
    browser.Put(browser.enabled);
    OpeningState onlyEnabled = Opening(*this);
    browser.Put(browser.disabled);
    OpeningState both = Opening(*this);
    EXPECT_FALSE(onlyEnabled.browser);
    EXPECT_TRUE(both.browser);
    EXPECT_TRUE(onlyEnabled.boot);
    EXPECT_FALSE(onlyEnabled.dos);
    EXPECT_FALSE(onlyEnabled.drag);
    EXPECT_FALSE(onlyEnabled.video800);
    EXPECT_TRUE(onlyEnabled.video1024);
}

std::string ExecutableShortPath()
{
    char path[MAX_PATH], shortPath[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    GetShortPathNameA(path, shortPath, MAX_PATH);
    return shortPath;
}

// What OK writes of the boxes, in the order of the expected values given.
void ExpectWritten(const std::string& ini, const BrowserFolder& browser, const std::vector<std::string>& expected)
{
    const std::pair<const char*, std::string> written[] = {
        {"Boot Shell", IniValue(ini, "Boot", "Shell")},
        {"BootKeys", IniValue(MsDosSysPath, "Options", "BootKeys")},
        {"BootMenu", IniValue(MsDosSysPath, "Options", "BootMenu")},
        {"BootWarn", IniValue(MsDosSysPath, "Options", "BootWarn")},
        {"browser enabled", Exists(browser.enabled) ? "yes" : "no"},
        {"browser disabled", Exists(browser.disabled) ? "yes" : "no"},
        {"ConservativeSwapFileUsage", IniValue(ini, "386Enh", "ConservativeSwapFileUsage")},
        {"DragFullWindows", RegText(Desktop, "DragFullWindows")},
        {"FreeMemAtStartup", std::to_string(RegNumber(PanelKey, "FreeMemAtStartup"))},
        {"FreeMemOnLaunch", std::to_string(FreeMemOnLaunch)},
    };
    ASSERT_EQ(std::size(written), expected.size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(expected[i], written[i].second) << written[i].first;
}

TEST_F(PanelFixture, OkWithEverythingTickedWritesEverySetting)
{
    browser.Put(browser.enabled);
    EXPECT_EQ(1, Run([&](HWND panel) {
        TickBoxes(panel, true);
        SetDlgItemTextA(panel, IDC_PANEL_HCOST, "123456789012345");
        SetDlgItemTextA(panel, IDC_PANEL_HCOST2, "5");
        ClickButton(panel, IDC_PANEL_OK);
    }));
    ExpectWritten(ini, browser, {ExecutableShortPath(), "0", "0", "0", "no", "yes", "1", "1", "1", "1"});
    EXPECT_EQ("12345678901", RegText(PanelKey, "Hcost"));
    EXPECT_EQ("5", RegText(PanelKey, "Hcost2"));
}

TEST_F(PanelFixture, OkWithNothingTickedWritesTheOpenSettings)
{
    WritePrivateProfileStringA("Boot", "Shell", "C:\\OTHER.EXE", ini.c_str());
    browser.Put(browser.disabled);
    FreeMemOnLaunch = 1;
    EXPECT_EQ(1, Run([&](HWND panel) {
        TickBoxes(panel, false);
        ClickButton(panel, IDC_PANEL_OK);
    }));
    ExpectWritten(ini, browser, {"explorer.exe", "1", "0", "1", "yes", "no", "0", "0", "0", "0"});
}

TEST_F(PanelFixture, CancelAndQuitWriteNothingOfTheBoxes)
{
    WritePrivateProfileStringA("Boot", "Shell", "explorer.exe", ini.c_str());
    browser.Put(browser.enabled);
    std::string iniBefore;
    ReadWholeFile(ini, &iniBefore);
    EXPECT_EQ(2, Run([&](HWND panel) {
        TickBoxes(panel, true);
        ClickButton(panel, IDC_PANEL_CANCEL);
    }));
    EXPECT_EQ(0, CloseCount);
    EXPECT_EQ(1, Run([&](HWND panel) {
        TickBoxes(panel, true);
        ClickButton(panel, IDC_PANEL_QUIT);
    }));
    EXPECT_EQ(1, CloseCount);
    EXPECT_TRUE(Started.empty());   // explorer.exe is the boot shell and still runs
    std::string iniAfter;
    ReadWholeFile(ini, &iniAfter);
    EXPECT_EQ(iniBefore, iniAfter);
    EXPECT_FALSE(Exists(MsDosSysPath));
    EXPECT_TRUE(Exists(browser.enabled));
    EXPECT_EQ("(missing)", RegText(Desktop, "DragFullWindows"));
    EXPECT_EQ(0xDEADu, RegNumber(PanelKey, "FreeMemAtStartup"));
}

TEST_F(PanelFixture, ScreenSizeButtonsActAsARadioPairAndWriteAtOnce)
{
    bool after800[2], again800[2], after1024[2];
    Run([&](HWND panel) {
        HWND small = GetDlgItem(panel, IDC_PANEL_800), large = GetDlgItem(panel, IDC_PANEL_1024);
        SendMessageA(small, BM_CLICK, 0, 0);
        after800[0] = Checked(panel, IDC_PANEL_800);
        after800[1] = Checked(panel, IDC_PANEL_1024);
        EXPECT_EQ(800u, RegNumber(VideoKey, "Video"));
        SendMessageA(small, BM_CLICK, 0, 0);
        again800[0] = Checked(panel, IDC_PANEL_800);
        again800[1] = Checked(panel, IDC_PANEL_1024);
        SendMessageA(large, BM_CLICK, 0, 0);
        after1024[0] = Checked(panel, IDC_PANEL_800);
        after1024[1] = Checked(panel, IDC_PANEL_1024);
        ClickButton(panel, IDC_PANEL_CANCEL);
    });
    EXPECT_TRUE(after800[0]);
    EXPECT_FALSE(after800[1]);
    EXPECT_TRUE(again800[0]);
    EXPECT_FALSE(again800[1]);
    EXPECT_FALSE(after1024[0]);
    EXPECT_TRUE(after1024[1]);
    EXPECT_EQ(1024u, RegNumber(VideoKey, "Video"));   // Cancel keeps it
}

TEST_F(PanelFixture, ChangeDisplayWithoutVideoKeepsTheScreen)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    Run([&](HWND panel) {
        ClickButton(panel, IDC_PANEL_CHANGE_DISPLAY);
        ClickButton(panel, IDC_PANEL_CANCEL);
    });
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(PanelFixture, ControlPannelRestartsAnUnloadedShellFirst)
{
    Run([&](HWND panel) {
        ClickButton(panel, IDC_PANEL_CONTROL_PANEL);
        ShellUnloaded = 1;
        ClickButton(panel, IDC_PANEL_CONTROL_PANEL);
        ClickButton(panel, IDC_PANEL_CANCEL);
    });
    ASSERT_EQ(3u, Started.size());
    EXPECT_EQ("control.exe", Started[0]);
    EXPECT_EQ("explorer.exe", Started[1]);
    EXPECT_EQ("control.exe", Started[2]);
}

TEST_F(PanelFixture, OpensItsDialogsOwnedByTheMainWindow)
{
    std::string adminTitle, supplierTitle;
    HWND adminOwner = NULL;
    bool intervalsStayOnCancel = false, panelEnabled = false;
    Run([&](HWND panel) {
        WhenShown("Change Administrator Password", [&](HWND dialog) {
            adminTitle = WindowText(dialog);
            adminOwner = GetWindow(dialog, GW_OWNER);
            panelEnabled = IsWindowEnabled(panel) != 0;
            ClickButton(dialog, IDC_PASSWORD_CANCEL);
        });
        ClickButton(panel, IDC_PANEL_ADMIN_PASSWORD);
        EXPECT_EQ(1, GetPasswordBeingChanged());
        WhenShown("Change Supplier Password", [&](HWND dialog) {
            supplierTitle = WindowText(dialog);
            ClickButton(dialog, IDC_PASSWORD_CANCEL);
        });
        ClickButton(panel, IDC_PANEL_SUPPLIER_PASSWORD);
        EXPECT_EQ(0, GetPasswordBeingChanged());
        WhenShown("Set Time Intervals", [&](HWND dialog) {
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            DrainQueue();
            intervalsStayOnCancel = IsWindowVisible(dialog) != 0;
            ClickButton(dialog, IDOK);
        });
        ClickButton(panel, IDC_PANEL_TIME_INTERVALS);
        WhenShown("Advanced Options", [&](HWND dialog) { ClickButton(dialog, IDCANCEL); });
        ClickButton(panel, IDC_PANEL_ADVANCED);
        SendMessageA(panel, WM_COMMAND, IDCANCEL, 0);   // Escape: the panel stays
        DrainQueue();
        EXPECT_TRUE(IsWindowVisible(panel));
        ClickButton(panel, IDC_PANEL_CANCEL);
    });
    EXPECT_EQ("Change Administrator Password", adminTitle);
    EXPECT_EQ("Change Supplier Password", supplierTitle);
    EXPECT_EQ(MainWindow, adminOwner);
    EXPECT_TRUE(panelEnabled);
    EXPECT_TRUE(intervalsStayOnCancel);
}

// As the administrator would: F3, the panel, "Quit to Windows" ends the shell.
TEST(PanelShell, QuitToWindowsEndsTheShell)
{
    FileBackup systemIni(SystemIniPath());
    FileBackup msdos(MsDosSysPath);
    WritePrivateProfileStringA("Boot", "Shell", "explorer.exe", SystemIniPath().c_str());
    std::string iniBefore;
    ReadWholeFile(SystemIniPath(), &iniBefore);
    PanelShell run;
    HWND panel = run.OpenPanel();
    ASSERT_NE(nullptr, panel);
    PostButtonClick(panel, IDC_PANEL_QUIT);
    EXPECT_TRUE(run.shell.WaitForExit(10000));
    std::string iniAfter;
    ReadWholeFile(SystemIniPath(), &iniAfter);
    EXPECT_EQ(iniBefore, iniAfter);
    EXPECT_FALSE(Exists(MsDosSysPath) && !msdos.existed);
}

}  // namespace

// The About box and the tip of the day: in process from their templates, and
// end to end in halcyne.exe through F1 and F11.
#include "look/Look.h"
#include "app/App.h"
#include "res/resource.h"
#include "support/LookSupport.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

const char ProductKey[] = "Software\\Hx_";
const COLORREF Accent = RGB(0, 128, 192);
const COLORREF Caption = RGB(0, 63, 127);

const char* const Tips[] = {
    nullptr,
    nullptr,  // written by us; checked for its subjects below
    "You can easily access these features by using the following Shortcuts: F1 - Displays About "
    "Dialog, F2 - Reserved, F3 - Login, F4 - Shut Down, F5 - Refresh, F6 - MP3 Player,F7 - Movie "
    "Player, F8 - HTML Viewer, F12 - Built-in HELP.",
    "To Login to Options Panel press F3 or select the Login menu from commands popup. The Password "
    "is blank by default. After you login to Options Panel, press Advanced Options button from the "
    "bottom of the dialog.  You can change the extension of the files that will appear on your "
    "desktop by typing the desired extension on Display Only Extension edit box. Some samples *.* - "
    "display all files (default) , *.lnk - display shortcuts only  etc.",
    "From Advanced Options Dialog you can change the paths required by Mp3 Player, Movie Player, and "
    "HTML Web page. After typing the Mp3 Path, be sure you press the Set Path button. When done, "
    "press OK button to save all other information. ",
    "Using Conservative swap file usage feature depending on your system configuration it may "
    "improve performance. It is available in the Options Panel. See Help (F12) for more details.",
    "If you want to clean the RAM Memory at each application startup check the checkbox with the "
    "same name from Halcyne Options Panel. To manually perform this task you may click on Memory "
    "Status or simply press Memory Cleanup from the Commands Menu.",
    "A fixed-size swap file is actually faster than one administered by Windows. And the best "
    "values go beyond the size of your system's RAM, usually 1.5 times total RAM. For instance if "
    "you have 128MB or RAM a swap file of 192MB would be great.",
    "Use the Task Manager from the Options Panel to close any unwanted process run on your system. "
    "Those processes are also shown in the Halcyne Start Menu Bar. To switch between windows, click "
    "the button on the taskbar that represents the window you want.",
};

std::string TipText(int id)
{
    char text[1024] = "";
    LoadStringA(GetModuleHandleA(NULL), id, text, sizeof text);
    return text;
}

std::string ShowTTS()
{
    DWORD value = 0;
    if (!GetRegDword(HKEY_CURRENT_USER, ProductKey, "ShowTTS", &value))
        return "(missing)";
    return std::to_string(value);
}

struct InfoDialogs : ShellDialogTest {
    SavedValue saved{HKEY_CURRENT_USER, ProductKey, "ShowTTS"};
    HWND owner = NULL;
    void SetUp() override
    {
        ShellDialogTest::SetUp();
        SetTipIndex(1);
        DeleteRegValue(HKEY_CURRENT_USER, ProductKey, "ShowTTS");
        MainWindow = owner = StandIn("owner");
    }
    INT_PTR RunAbout() { return RunDialog(IDD_ABOUT, AboutProc, MainWindow); }
};

}  // namespace

TEST_F(InfoDialogs, AboutShowsTheProductCaptionAsHeading)
{
    std::string caption, credits[3], contact;
    bool headingStored = false;
    int heading = 0;
    WhenShown("About (F1)", [&](HWND about) {
        caption = WindowText(about);
        headingStored = DialogLook.HeadingText == ProgramInfo.caption;
        credits[0] = WindowText(GetDlgItem(about, IDC_ABOUT_CREDIT1));
        credits[1] = WindowText(GetDlgItem(about, IDC_ABOUT_CREDIT2));
        credits[2] = WindowText(GetDlgItem(about, IDC_ABOUT_CREDIT3));
        WaitFor([&] { return (heading = HeadingPixels(about, Accent)) > 40; }, 3000);
        PostButtonClick(about, IDC_ABOUT_OK);
    });
    EXPECT_EQ(1, RunAbout());
    EXPECT_EQ("About (F1)", caption);
    EXPECT_TRUE(headingStored);
    EXPECT_GT(heading, 40) << "heading in the heading colour";
    for (int i = 0; i < 3; i++) {
        EXPECT_FALSE(credits[i].empty());
        EXPECT_NE(std::to_string(i + 1), credits[i]) << "credit line " << i + 1 << " set on opening";
    }
}

TEST_F(InfoDialogs, AboutIgnoresEscapeAndEnterPressesOk)
{
    bool openAfterEscape = false;
    WhenShown("About (F1)", [&](HWND about) {
        PostKey(about, VK_ESCAPE);
        PostButtonClick(about, IDCANCEL);
        openAfterEscape = Holds([&] { return IsWindowVisible(about) != 0; }, 300);
        PostKey(about, VK_RETURN);
    });
    EXPECT_EQ(1, RunAbout());
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(InfoDialogs, TipOpensWithFirstTipBulbAndClearBox)
{
    HWND tip = OpenTipOfTheDay();
    ASSERT_NE(nullptr, tip);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tip); })) << "shown without ShowWindow";
    EXPECT_EQ("Tip of the Day", WindowText(tip));
    EXPECT_EQ(owner, GetWindow(tip, GW_OWNER));
    EXPECT_EQ(TipText(1), WindowText(GetDlgItem(tip, IDC_TIP_TEXT)));
    EXPECT_FALSE(Checked(tip, IDC_TIP_NO_STARTUP));
    EXPECT_EQ("&Next Tip", WindowText(GetDlgItem(tip, IDC_TIP_NEXT)));
    EXPECT_EQ("Don't show Tips at Startup", WindowText(GetDlgItem(tip, IDC_TIP_NO_STARTUP)));
    EXPECT_EQ(nullptr, DialogLook.HeadingText);

    HBITMAP bulb = (HBITMAP)SendDlgItemMessageA(tip, IDC_TIP_BULB, STM_GETIMAGE, IMAGE_BITMAP, 0);
    ASSERT_NE(nullptr, bulb);
    BITMAP info = {};
    GetObjectA(bulb, sizeof info, &info);
    EXPECT_EQ(26, info.bmWidth);
    EXPECT_EQ(35, info.bmHeight);

    // The user may type into the tip; nothing reads it back.
    SetDlgItemTextA(tip, IDC_TIP_TEXT, "typed");
    EXPECT_EQ("typed", WindowText(GetDlgItem(tip, IDC_TIP_TEXT)));
}

TEST(TipTexts, EightTipsInTheStringTable)
{
    std::string first = TipText(1);
    EXPECT_NE(std::string::npos, first.find("Start button")) << first;
    EXPECT_NE(std::string::npos, first.find("right click")) << first;
    EXPECT_NE(std::string::npos, first.find("http://")) << first;
    EXPECT_NE(std::string::npos, first.find("F12")) << first;
    size_t longest = 0;
    for (int id = 2; id <= 8; id++)
        EXPECT_EQ(Tips[id], TipText(id)) << "tip " << id;
    for (int id = 1; id <= 8; id++)
        longest = std::max(longest, TipText(id).size());
    EXPECT_EQ(439u, longest);
}

TEST_F(InfoDialogs, NextTipCyclesAndTheIndexIsShared)
{
    HWND tip = OpenTipOfTheDay();
    ASSERT_NE(nullptr, tip);
    for (int step = 1; step <= 8; step++) {
        SendMessageA(tip, WM_COMMAND, MAKEWPARAM(IDC_TIP_NEXT, BN_CLICKED), (LPARAM)GetDlgItem(tip, IDC_TIP_NEXT));
        int expected = step % 8 + 1;
        EXPECT_EQ(expected, GetTipIndex());
        EXPECT_EQ(TipText(expected), WindowText(GetDlgItem(tip, IDC_TIP_TEXT))) << "after " << step;
    }
    for (int step = 0; step < 4; step++)
        SendMessageA(tip, WM_COMMAND, MAKEWPARAM(IDC_TIP_NEXT, BN_CLICKED), 0);
    EXPECT_EQ(TipText(5), WindowText(GetDlgItem(tip, IDC_TIP_TEXT)));
    SendMessageA(tip, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    // A tip opened later starts where the last one stopped; two share the index.
    HWND again = OpenTipOfTheDay();
    HWND second = OpenTipOfTheDay();
    EXPECT_EQ(TipText(5), WindowText(GetDlgItem(again, IDC_TIP_TEXT)));
    SendMessageA(second, WM_COMMAND, MAKEWPARAM(IDC_TIP_NEXT, BN_CLICKED), 0);
    SendMessageA(again, WM_COMMAND, MAKEWPARAM(IDC_TIP_NEXT, BN_CLICKED), 0);
    EXPECT_EQ(TipText(7), WindowText(GetDlgItem(again, IDC_TIP_TEXT)));
    DestroyWindow(again);
    DestroyWindow(second);
}

// Only OK closes the tip; it stores the check box and releases the dialog.
TEST_F(InfoDialogs, OkStoresTheCheckBoxAndCloses)
{
    HWND tip = OpenTipOfTheDay();
    ASSERT_NE(nullptr, tip);
    SendMessageA(tip, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostKey(tip, VK_ESCAPE);
    DrainQueue();
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ("0", ShowTTS()) << "opening reads the value, which creates it as 0; Cancel stores nothing";

    SendDlgItemMessageA(tip, IDC_TIP_NO_STARTUP, BM_CLICK, 0, 0);
    ASSERT_TRUE(Checked(tip, IDC_TIP_NO_STARTUP));
    SendMessageA(tip, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ("1", ShowTTS());
    EXPECT_FALSE(IsWindow(tip)) << "a closed tip leaves no hidden window behind";

    tip = OpenTipOfTheDay();
    EXPECT_TRUE(Checked(tip, IDC_TIP_NO_STARTUP));
    SendDlgItemMessageA(tip, IDC_TIP_NO_STARTUP, BM_CLICK, 0, 0);
    SendMessageA(tip, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ("0", ShowTTS());
    EXPECT_FALSE(IsWindow(tip));
}

namespace {
HWND VisibleTip()
{
    HWND tip = FindWindowA("#32770", "Tip of the Day");
    return tip && IsWindowVisible(tip) ? tip : NULL;
}
}  // namespace

// Only exactly 1 keeps the tip away; a missing value is created as 0.
TEST_F(InfoDialogs, StartupFollowsShowTTS)
{
    ShowTipAtStartup();
    HWND tip = VisibleTip();
    ASSERT_NE(nullptr, tip) << "no value: shown";
    EXPECT_FALSE(Checked(tip, IDC_TIP_NO_STARTUP));
    EXPECT_EQ("0", ShowTTS()) << "the read creates the value";
    DestroyWindow(tip);

    SetRegDword(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 1);
    ShowTipAtStartup();
    EXPECT_EQ(nullptr, VisibleTip()) << "1: not shown";

    SetRegDword(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 2);
    ShowTipAtStartup();
    tip = VisibleTip();
    ASSERT_NE(nullptr, tip) << "2: shown";
    EXPECT_FALSE(Checked(tip, IDC_TIP_NO_STARTUP)) << "the box says what start-up does";
    DestroyWindow(tip);
}

// ---- End to end, in halcyne.exe ----------------------------------------------

namespace {
struct ShellWithTip : ::testing::Test {
    SavedValue saved{HKEY_CURRENT_USER, ProductKey, "ShowTTS"};
    WineDrawnFrames shellFrames{"halcyne.exe"};   // its captions reach the screen
    DesktopShell run;
    ShellProcess& shell = run.shell;
    HWND& main = run.main;
    void StartShell() { ASSERT_TRUE(run.Start()); }
};
}  // namespace

TEST_F(ShellWithTip, TipAtStartupWithoutValue)
{
    DeleteRegValue(HKEY_CURRENT_USER, ProductKey, "ShowTTS");
    StartShell();
    HWND tip = shell.WaitForWindow("#32770", "Tip of the Day");
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(main, GetWindow(tip, GW_OWNER));
    EXPECT_EQ(TipText(1), WindowText(GetDlgItem(tip, IDC_TIP_TEXT)));
    EXPECT_FALSE(Checked(tip, IDC_TIP_NO_STARTUP));
}

TEST_F(ShellWithTip, TipAtStartupWithTwo)
{
    SetRegDword(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 2);
    StartShell();
    HWND tip = shell.WaitForWindow("#32770", "Tip of the Day");
    ASSERT_NE(nullptr, tip);
    EXPECT_FALSE(Checked(tip, IDC_TIP_NO_STARTUP));
}

TEST_F(ShellWithTip, NoTipWithOneButF11StillOpensIt)
{
    SetRegDword(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 1);
    StartShell();
    EXPECT_TRUE(Holds([&] { return shell.Windows("#32770").empty(); }, 1500)) << "no tip at start-up";
    PostKey(main, VK_F11);
    HWND tip = shell.WaitForWindow("#32770", "Tip of the Day");
    ASSERT_NE(nullptr, tip);
    EXPECT_TRUE(Checked(tip, IDC_TIP_NO_STARTUP));
    PostKey(main, VK_F11);
    EXPECT_TRUE(WaitFor([&] { return shell.Windows("#32770").size() == 2; })) << "another one each time";
}

TEST_F(ShellWithTip, NextTipAndOkEndToEnd)
{
    DeleteRegValue(HKEY_CURRENT_USER, ProductKey, "ShowTTS");
    StartShell();
    HWND tip = shell.WaitForWindow("#32770", "Tip of the Day");
    ASSERT_NE(nullptr, tip);
    EXPECT_TRUE(WaitFor([&] { return GrabWindow(tip).At(4, 4) == Caption; }, 3000))
        << "painted caption band";
    // Modeless, and the loop does no dialog navigation: these keys mean nothing here.
    for (HWND target : {tip, GetDlgItem(tip, IDC_TIP_NEXT)}) {
        PostKey(target, VK_ESCAPE);
        PostKey(target, VK_RETURN);
        PostKey(target, VK_TAB);
    }
    EXPECT_TRUE(Holds([&] { return IsWindowVisible(tip) != 0; }, 500));
    EXPECT_EQ(TipText(1), WindowText(GetDlgItem(tip, IDC_TIP_TEXT)));
    PostButtonClick(tip, IDC_TIP_NEXT);
    EXPECT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(tip, IDC_TIP_TEXT)) == TipText(2); }));
    SendMessageA(GetDlgItem(tip, IDC_TIP_NO_STARTUP), BM_SETCHECK, BST_CHECKED, 0);
    PostButtonClick(tip, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(tip); }));
    EXPECT_EQ("1", ShowTTS());

    // The menu's command opens the next one where this one stopped.
    PostMessageA(main, WM_COMMAND, IDM_TIPS, 0);
    HWND again = shell.WaitForWindow("#32770", "Tip of the Day");
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(TipText(2), WindowText(GetDlgItem(again, IDC_TIP_TEXT)));
    EXPECT_TRUE(Checked(again, IDC_TIP_NO_STARTUP));
}

TEST_F(ShellWithTip, F1OpensAboutEscapeKeepsItOkClosesIt)
{
    SetRegDword(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 1);
    StartShell();
    PostKey(main, VK_F1);
    HWND about = shell.WaitForWindow("#32770", "About (F1)");
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(main, GetWindow(about, GW_OWNER));
    int heading = 0;
    EXPECT_TRUE(WaitFor([&] { return (heading = HeadingPixels(about, Accent)) > 40; }, 3000)) << heading;
    EXPECT_TRUE(WaitFor([&] { return GrabWindow(about).At(4, 4) == Caption; }, 3000))
        << "painted caption band";
    PostKey(about, VK_ESCAPE);
    EXPECT_TRUE(Holds([&] { return IsWindowVisible(about) != 0; }, 500)) << "Escape leaves the About box open";
    PostButtonClick(about, IDC_ABOUT_OK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
}

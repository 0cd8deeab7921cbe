// The shell frame end to end: single instance, command line, the commands
// menu under both Windows families, the function keys, refusing a close.
#include "app/App.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "taskbar/Taskbar.h"
#include "res/resource.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <set>

namespace {

const char AppDefaultsKey[] = "Software\\Wine\\AppDefaults\\halcyne.exe";

// Runs the shell under an emulated Windows version (Wine reads it per exe).
struct EmulatedVersion {
    RegistryGuard guard;
    explicit EmulatedVersion(const char* version) : guard(HKEY_CURRENT_USER, AppDefaultsKey)
    {
        SetRegString(HKEY_CURRENT_USER, AppDefaultsKey, "Version", version);
    }
};

// Closes every visible window of the process that is not the main window.
void CloseOtherWindows(ShellProcess& shell, HWND main)
{
    for (HWND window : shell.Windows())
        if (window != main)
            PostMessageA(window, WM_CLOSE, 0, 0);
}

std::set<HWND> WindowSet(ShellProcess& shell)
{
    std::vector<HWND> all = shell.Windows();
    return std::set<HWND>(all.begin(), all.end());
}

std::vector<std::string> MenuTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

// Height of the commands menu's popup in a shell run under the given version.
int CommandsMenuHeight(const char* version)
{
    EmulatedVersion emulated(version);
    QuietShell quiet;
    if (!quiet.Start())
        return -1;
    PostMessageA(quiet.main, WM_COMMAND, 666, 0);
    HWND popup = quiet.shell.WaitForWindow("#32768", nullptr, 5000);
    if (!popup)
        return -1;
    // The popup may show before it has its final size: the same height twice.
    int height = -1, before;
    WaitFor([&] {
        RECT rect;
        GetWindowRect(popup, &rect);
        before = height;
        height = rect.bottom - rect.top;
        return height > 0 && height == before;
    }, 2000);
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    return height;
}

} // namespace

// Menus belong to their process under Wine, so the running shell's menu is
// measured; its entries are read where it is built.
TEST(CommandsMenu, RunningShellShowsTheUnloadEntryOnlyBeforeWindows2000)
{
    int ninetyEight = CommandsMenuHeight("win98");
    int xp = CommandsMenuHeight("winxp");
    ASSERT_GT(xp, 0) << "the Start button shows no commands menu";
    int itemHeight = GetSystemMetrics(SM_CYMENUSIZE);
    EXPECT_GE(ninetyEight - xp, itemHeight - 4);
    EXPECT_LE(ninetyEight - xp, itemHeight + 8);
}

TEST(CommandsMenu, BuiltFromVersionNumber)
{
    std::vector<std::string> expected = { "About (F1)", "Help (F12)", "Tips and Tricks (F11)", "",
                                          "Mp3 Player (F6)", "Movie Player (F7)", "HTML Viewer (F8)", "",
                                          "Refresh (F5)", "Memory Cleanup", "! Unload Windows Shell", "",
                                          "Login (F3)", "Shut Down (F4)" };
    WindowsVersion = 490;
    BuildCommandsMenu();
    EXPECT_EQ(expected, MenuTexts(CommandsMenu));
    EXPECT_EQ(2015u, GetMenuItemID(CommandsMenu, 10));
    DestroyMenu(CommandsMenu);
    WindowsVersion = 500;
    BuildCommandsMenu();
    expected.erase(expected.begin() + 10);
    EXPECT_EQ(expected, MenuTexts(CommandsMenu));
    EXPECT_EQ(2002u, GetMenuItemID(CommandsMenu, 11));
    EXPECT_EQ(2001u, GetMenuItemID(CommandsMenu, 12));
    DestroyMenu(CommandsMenu);
}

TEST(SingleInstance, SecondStartIsRefusedWithExactMessage)
{
    DesktopShell first;
    ASSERT_TRUE(first.Start());
    ShellProcess second;
    ASSERT_TRUE(second.Start());
    HWND box = second.WaitForWindow("#32770", "Startup Error");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Halcyne 2 is already running ! ", MessageBoxText(box));
    EXPECT_TRUE(second.Windows("Win").empty());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 99;
    ASSERT_TRUE(second.WaitForExit(10000, &code));
    EXPECT_EQ(0u, code);
}

TEST(CommandLine, ErrorOptionShowsCommandLineAsCaptionAndEnds)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.Start("-ERROR::Desktop_Path"));
    HWND box = shell.WaitForWindow("#32770", "-ERROR::Desktop_Path");
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(MessageBoxText(box).empty());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 99;
    ASSERT_TRUE(shell.WaitForExit(10000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(nullptr, FindWindowA("Win", "Tavix Halcyne 2.0"));
}

TEST(CommandLine, HelpInCapitalsShowsHelpAndEndsEvenWhileShellRuns)
{
    DesktopShell first;
    ASSERT_TRUE(first.Start());
    ShellProcess help;
    ASSERT_TRUE(help.Start("-HELP"));
    // The help stays until its reader closes it; then the process ends with 0.
    DWORD code = 99;
    bool sawWindow = false;
    for (int i = 0; i < 200 && !help.WaitForExit(50, &code); ++i) {
        for (HWND window : help.Windows()) {
            EXPECT_NE("Startup Error", WindowText(window));
            EXPECT_NE("Win", ClassOf(window));
            sawWindow = true;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }
    ASSERT_TRUE(help.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(sawWindow) << "no help window was shown";
}

TEST(CommandLine, OptionWithTrailingTextOrOneCharacterStartsTheShell)
{
    TempFolder desktop;
    DesktopFolderGuard folder(desktop.path);
    for (const char* arguments : { "-help more", "x" }) {
        ShellProcess shell;
        ASSERT_TRUE(shell.Start(arguments));
        EXPECT_NE(nullptr, shell.WaitForMainWindow()) << arguments;
        shell.Kill();
        WaitFor([] { return FindWindowA("Win", "Tavix Halcyne 2.0") == NULL; });
    }
}

TEST(FunctionKeys, EachKeyOpensItsWindowAndF2DoesNothing)
{
    QuietShell quiet;
    ASSERT_TRUE(quiet.Start());
    ShellProcess& shell = quiet.shell;
    HWND main = quiet.main;
    EXPECT_TRUE(WaitFor([&] { return WindowSet(shell) == std::set<HWND>{main}; })) << "the main window alone";
    std::set<HWND> before = WindowSet(shell);

    PostKey(main, VK_F2);
    EXPECT_TRUE(Holds([&] { return WindowSet(shell) == before; }, 700)) << "F2 opened something";

    // Each window closes by its own button: Escape means nothing in them.
    struct Key { UINT key; const char* what; int closer; };
    for (Key key : { Key{ VK_F1, "About", IDC_ABOUT_OK }, Key{ VK_F3, "Login", IDC_SECURITY_CANCEL },
                     Key{ VK_F4, "Shut Down", IDC_SHUTDOWN_CANCEL }, Key{ VK_F11, "Tip of the Day", IDOK },
                     Key{ VK_F6, "MP3 player", IDC_MP3_CLOSE }, Key{ VK_F7, "movie player", IDC_MOVIE_CLOSE } }) {
        PostKey(main, key.key);
        HWND opened = NULL;
        WaitFor([&] {
            for (HWND window : shell.Windows())
                if (!before.count(window) && ClassOf(window) == "#32770") {
                    opened = window;
                    return true;
                }
            return false;
        }, 5000);
        EXPECT_NE(nullptr, opened) << key.what << " did not open";
        if (opened)
            PostMessageA(opened, WM_COMMAND, MAKEWPARAM(key.closer, BN_CLICKED),
                         (LPARAM)GetDlgItem(opened, key.closer));
        EXPECT_TRUE(WaitFor([&] { return WindowSet(shell) == before; }, 5000)) << key.what << " did not close";
        before = WindowSet(shell);
    }
}

// Keys that reach a modeless window's focused control still pass the
// shell's function keys: F1 opens About from the MP3 player and the tip.
TEST(FunctionKeys, WorkWhileAModelessWindowHasTheFocus)
{
    QuietShell quiet;
    ASSERT_TRUE(quiet.Start());
    PostKey(quiet.main, VK_F6);
    HWND player = quiet.shell.WaitForWindow("#32770", "HX2 MP3 Player (F6)");
    PostKey(quiet.main, VK_F11);
    HWND tip = quiet.shell.WaitForWindow("#32770", "Tip of the Day");
    ASSERT_NE(nullptr, player);
    ASSERT_NE(nullptr, tip);
    for (HWND focused : {GetDlgItem(player, IDC_MP3_LIST), GetDlgItem(tip, IDC_TIP_NEXT)}) {
        PostKey(focused, VK_F1);
        HWND about = quiet.shell.WaitForWindow("#32770", "About (F1)", 5000);
        ASSERT_NE(nullptr, about) << ClassOf(focused);
        PostButtonClick(about, IDC_ABOUT_OK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    }
}

TEST(CloseRefusal, AltF4AndWindowMenuCloseLeaveTheShellRunning)
{
    QuietShell quiet;
    ASSERT_TRUE(quiet.Start());
    PostMessageA(quiet.main, WM_SYSCOMMAND, SC_CLOSE, 0);
    SetForegroundWindow(quiet.main);
    WaitFor([&] { return GetForegroundWindow() == quiet.main; }, 2000);
    SendKeys({ VK_MENU, VK_F4 });
    DWORD code;
    EXPECT_FALSE(quiet.shell.WaitForExit(1500, &code));
    EXPECT_TRUE(IsWindow(quiet.main));
    EXPECT_TRUE(IsWindowVisible(quiet.main));
}

// The close step, in-process: everything named is released, the quit message
// is posted, and the window itself stays until the process ends.
TEST(MainWindowClose, ReleasesResourcesAndPostsQuit)
{
    TempFolder desktop;
    DesktopFolderGuard folder(desktop.path);
    MakeShellMainWindow(WS_POPUP | WS_SYSMENU);
    ASSERT_NE(nullptr, MainWindow);
    HMENU menu = CommandsMenu;
    HBITMAP strip = GetTaskbarStripBitmap(), start = GetStartButtonBitmap();
    HBRUSH face = GetFaceBrush();
    ASSERT_TRUE(IsMenu(menu));
    ASSERT_EQ(OBJ_BITMAP, (int)GetObjectType(strip));
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsMenu(menu)) << "a close the shell did not ask for released something";
    CloseMainWindow();
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(0u, GetObjectType(strip));
    EXPECT_EQ(0u, GetObjectType(start));
    EXPECT_EQ(0u, GetObjectType(face));
    EXPECT_EQ(nullptr, DesktopImageList);
    EXPECT_EQ(0, ListCount(DesktopFiles));
    if (GetStartButton())
        EXPECT_FALSE(IsWindow(GetStartButton()));
    EXPECT_TRUE(IsWindow(MainWindow));
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT)
            quit = true;
    EXPECT_TRUE(quit);
}

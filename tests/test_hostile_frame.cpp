// A guest's programs against the shell's own window and desktop: the window
// menu, moves, hides and ends sent from another process, a function key held
// down, and a Desktop folder that is gone or holds folders.
#include "app/App.h"
#include "look/Look.h"
#include "res/resource.h"
#include "support/GuestSupport.h"
#include <gtest/gtest.h>

namespace {

// The main window over the whole screen at 0,0, shown and not minimized.
bool Covers(HWND main)
{
    RECT rect;
    GetWindowRect(main, &rect);
    return IsWindowVisible(main) && !IsIconic(main) && rect.left == 0 && rect.top == 0
           && rect.right == GetSystemMetrics(SM_CXSCREEN) && rect.bottom == GetSystemMetrics(SM_CYSCREEN);
}

struct HostileFrame : HostileGuest {
    HWND View() { return GetDlgItem(quiet.main, IDC_DESKTOP_VIEW); }
    // F5, then the items of the view it rebuilt (-1 when none was rebuilt).
    int ItemsAfterRefresh()
    {
        HWND old = View();
        PostKey(quiet.main, VK_F5);
        if (!WaitFor([&] { return View() && View() != old; }))
            return -1;
        return ListViewItemCount(View());
    }
    void Front()
    {
        SetForegroundWindow(quiet.main);
        WaitFor([&] { return GetForegroundWindow() == quiet.main; }, 2000);
    }
    size_t Players()
    {
        size_t players = 0;
        for (HWND window : quiet.shell.Windows("#32770"))
            players += WindowText(window) == "HX2 MP3 Player (F6)";
        return players;
    }
};

// Alt+Space, a letter of the window menu, then the keys of the move or size loop.
TEST_F(HostileFrame, TheShellsWindowStaysOverTheWholeScreen)
{
    HWND main = quiet.main;
    ASSERT_TRUE(Covers(main));
    const struct { const char* name; WORD letter; WORD arrow; } menu[] = {
        { "the window menu's Move", 'M', VK_RIGHT }, { "the window menu's Size", 'S', VK_LEFT },
        { "the window menu's Minimize", 'N', 0 }, { "the window menu's Maximize", 'X', 0 },
    };
    for (const auto& route : menu) {
        Front();
        SendKeys({ VK_MENU, VK_SPACE });
        ASSERT_NE(nullptr, quiet.shell.WaitForWindow("#32768", nullptr)) << "Alt+Space opened no window menu";
        SendKeys({ route.letter });
        for (int step = 0; route.arrow && step < 6; step++)
            SendKeys({ route.arrow });
        // Escape closes the menu where the letter's entry was unavailable.
        SendKeys({ VK_RETURN }), SendKeys({ VK_ESCAPE });
        ways.Try(route.name, MainSurvives({}) && Covers(main));
    }

    // What another program may do to a window it does not own.
    const struct { const char* name; UINT command; } commands[] = {
        { "SC_MOVE", SC_MOVE }, { "SC_SIZE", SC_SIZE }, { "SC_MINIMIZE", SC_MINIMIZE }, { "SC_RESTORE", SC_RESTORE },
    };
    for (const auto& command : commands) {
        Front();
        PostMessageA(main, WM_SYSCOMMAND, command.command, 0);
        SendKeys({ VK_DOWN }), SendKeys({ VK_RETURN });
        ways.Try(std::string("a posted ") + command.name, MainSurvives({}) && Covers(main));
    }
    SetWindowPos(main, NULL, 200, 150, 320, 240, SWP_NOZORDER | SWP_NOACTIVATE);
    ways.Try("SetWindowPos from another program", MainSurvives({}) && Covers(main));
    const struct { const char* name; int show; } shows[] = {
        { "SW_HIDE", SW_HIDE }, { "SW_MINIMIZE", SW_MINIMIZE }, { "SW_SHOWMINNOACTIVE", SW_SHOWMINNOACTIVE },
    };
    for (const auto& show : shows) {
        ShowWindow(main, show.show);
        ways.Try(std::string("ShowWindow ") + show.name + " from another program", MainSurvives({}) && Covers(main));
    }
}

// The shell's own move after a change of screen mode, in-process: Wine's
// virtual desktop offers one size only, so the new size is set by hand.
TEST(ShellWindowPlace, TakesTheShellsOwnNewScreenSizeUnderASeamSinceWineOffersOneMode)
{
    TempFolder desktop;
    DesktopFolderGuard folder(desktop.path);
    MakeShellMainWindow(WS_POPUP | WS_VISIBLE | WS_SYSMENU);
    ASSERT_NE(nullptr, MainWindow);
    // The refresh re-reads the size and moves the window there.
    ScreenSize.width = 800, ScreenSize.height = 600;
    MoveWindow(MainWindow, 0, 0, ScreenSize.width, ScreenSize.height, TRUE);
    EXPECT_TRUE(Placed(MainWindow, 0, 0, 800, 600));
    SetWindowPos(MainWindow, NULL, 40, 30, 1024, 768, SWP_NOZORDER);
    EXPECT_TRUE(Placed(MainWindow, 0, 0, 800, 600)) << "a move of anyone else's";
}

// Only "Quit to Windows" ends the shell (its own tests show it still does).
TEST_F(HostileFrame, NoOtherProgramEndsTheShell)
{
    PostMessageA(quiet.main, WM_CLOSE, 0, 0);
    ways.Try("a posted WM_CLOSE (Task Manager's End Task)", MainSurvives({}));
    SendMessageA(quiet.main, WM_CLOSE, 0, 0);
    ways.Try("a sent WM_CLOSE", MainSurvives({}));
    PostMessageA(quiet.main, WM_DESTROY, 0, 0);
    ways.Try("a posted WM_DESTROY", MainSurvives({}));
    PostMessageA(quiet.main, WM_QUIT, 0, 0);
    ways.Try("a WM_QUIT posted to the window", MainSurvives({}));
    PostThreadMessageA(quiet.shell.info.dwThreadId, WM_QUIT, 0, 0);
    ways.Try("a WM_QUIT posted to the thread", MainSurvives({}));
}

// Twelve auto-repeats and the key's release, then one more press.
TEST_F(HostileFrame, AFunctionKeyHeldDownIsOnePress)
{
    Front();
    std::vector<INPUT> held(13);
    for (size_t i = 0; i < held.size(); i++) {
        held[i].type = INPUT_KEYBOARD;
        held[i].ki.wVk = VK_F6;
        held[i].ki.dwFlags = i + 1 == held.size() ? KEYEVENTF_KEYUP : 0;
    }
    SendInput((UINT)held.size(), held.data(), sizeof(INPUT));
    ways.Try("F6 held down", MainSurvives({}) && Players() == 1);
    SendKeys({ VK_F6 });
    EXPECT_TRUE(WaitFor([&] { return Players() == 2; })) << "F6 pressed again gave no second player";
}

TEST_F(HostileFrame, TheDesktopListsNoFolderAndNothingOutsideIt)
{
    const TempFolder& desktop = quiet.desktop;
    desktop.Write("notes.txt", "x");
    CreateDirectoryA(desktop.File("Tools").c_str(), NULL);
    SetFileAttributesA(desktop.File("Tools").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    // Under Wine a dot name is hidden: a folder with a further bit whatever the file system keeps.
    CreateDirectoryA(desktop.File(".Stuff").c_str(), NULL);
    ways.Try("a folder with a further attribute bit", ItemsAfterRefresh() == 1);

    // The name on the desktop, a file of that name where the shell was started.
    TempFolder evidence;
    std::string marker = evidence.File("opened.txt");
    std::string beside = ExeFolder() + "\\hostile-open-me.bat";
    ASSERT_TRUE(WriteWholeFile(beside, "@echo opened> \"" + marker + "\"\r\n"));
    desktop.Write("hostile-open-me.bat", "@rem harmless\r\n");
    ASSERT_EQ(2, ItemsAfterRefresh());
    for (const char* name : { "notes.txt", "hostile-open-me.bat", "Tools", ".Stuff" }) {
        DeleteFileA(desktop.File(name).c_str());
        RemoveDirectoryA(desktop.File(name).c_str());
    }
    ASSERT_TRUE(RemoveDirectoryA(desktop.path.c_str()));
    PostMessageA(View(), WM_KEYDOWN, VK_HOME, 0);
    PostMessageA(View(), WM_KEYDOWN, VK_RETURN, 0);
    bool openedNothing = MainSurvives({}) && Holds([&] { return !Exists(marker); }, 2000);
    DeleteFileA(beside.c_str());
    ways.Try("a listed name once the Desktop folder is gone", openedNothing);
    ways.Try("a Desktop value naming a missing folder", ItemsAfterRefresh() == 0);
    CreateDirectoryA(desktop.path.c_str(), NULL);
}

}  // namespace

// The guest's keys against the guard and the HTML dialogs: the keys a guest
// types while the shell is busy, the shortcuts, and the browser engine's own
// ways out of its dialog.
#include "app/App.h"
#include "core/Core.h"
#include "look/Look.h"
#include "res/resource.h"
#include "support/GuestSupport.h"
#include <gtest/gtest.h>
#include <richedit.h>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// The hook's thread answers while the interface thread (here this test's)
// is stuck: another thread of the process types meanwhile.
TEST(GuardThread, KeysSwallowedWhileTheInterfaceThreadIsBusy)
{
    WaysOut ways;
    EngageGuard(GetModuleHandleA(NULL));
    bool windowsKey = true, controlEscape = true, ordinaryKey = false;
    std::thread guest([&] {
        KeyRecorder recorder;
        windowsKey = recorder.Reached({ VK_LWIN }, VK_LWIN);
        controlEscape = recorder.Reached({ VK_CONTROL, VK_ESCAPE }, VK_ESCAPE);
        ordinaryKey = recorder.Reached({ 'A' }, 'A');
    });
    guest.join();
    ReleaseGuard();
    ways.Try("the Windows key while the shell is busy", !windowsKey);
    ways.Try("Ctrl+Esc while the shell is busy", !controlEscape);
    EXPECT_TRUE(ordinaryKey);
}

// Wine never drops a hook, so the hook calls are watched through the guard's
// seam: a platform that refuses the first hook and may drop any later one.
std::mutex HookLock;
std::string HookCalls;
int HookTries;
DWORD HookThreadId;

HHOOK WINAPI RefusingFirstHook(int, HOOKPROC, HINSTANCE, DWORD)
{
    std::lock_guard<std::mutex> hold(HookLock);
    HookThreadId = GetCurrentThreadId();
    int tried = ++HookTries;
    HookCalls += tried == 1 ? "refused " : "set " + std::to_string(tried) + " ";
    return tried == 1 ? NULL : (HHOOK)(INT_PTR)tried;
}

BOOL WINAPI WatchedUnhook(HHOOK hook)
{
    std::lock_guard<std::mutex> hold(HookLock);
    HookCalls += "unhook " + std::to_string((INT_PTR)hook) + " ";
    return TRUE;
}

TEST(GuardSeam, HookOnItsOwnThreadSetAgainWhenRefusedAndRenewedUnderASeamSinceWineNeverDropsOne)
{
    GetGuardCalls()->setWindowsHookEx = RefusingFirstHook;
    GetGuardCalls()->unhookWindowsHookEx = WatchedUnhook;
    EngageGuard(GetModuleHandleA(NULL));
    EXPECT_TRUE(WaitFor([] { std::lock_guard<std::mutex> hold(HookLock); return HookTries >= 4; }, 10000));
    ReleaseGuard();
    std::lock_guard<std::mutex> hold(HookLock);
    EXPECT_NE(GetCurrentThreadId(), HookThreadId);
    // A fresh hook comes before the old one goes; the last goes with the guard.
    EXPECT_EQ(0u, HookCalls.find("refused set 2 set 3 unhook 2 set 4 unhook 3 ")) << HookCalls;
    std::string last = "set " + std::to_string(HookTries) + " unhook " + std::to_string(HookTries - 1)
                     + " unhook " + std::to_string(HookTries) + " ";
    EXPECT_EQ(HookCalls.size() - last.size(), HookCalls.rfind(last)) << HookCalls;
}

// Wine's screen-saver switch changes nothing, so it is watched through the seam.
BOOL SaverRunning;
BOOL WINAPI SwitchOnly(UINT action, UINT parameter, PVOID, UINT)
{
    if (action == SPI_SETSCREENSAVERRUNNING)
        SaverRunning = parameter;
    return action == SPI_SETSCREENSAVERRUNNING;
}
DWORD WINAPI Windows98Version() { return 0xC0000A04; }

TEST(GuardSeam, ScreenSaverSwitchSetAgainAtEachTickAndAfterAResumeUnderASeamSinceWineIgnoresIt)
{
    TempFolder desktop;
    DesktopFolderGuard folder(desktop.path);
    MakeShellMainWindow(WS_POPUP);
    GetGuardCalls()->systemParametersInfo = SwitchOnly;
    GetGuardCalls()->getVersion = Windows98Version;
    EngageGuard(AppInstance);
    const struct { const char* name; UINT message; WPARAM event; BOOL setAgain; } events[] = {
        { "the taskbar's tick", WM_TIMER, IDT_TASKBAR, TRUE },
        { "a resume", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, TRUE },
        { "a resume by itself", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, TRUE },
        { "a stand-by asked for", WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, FALSE },
    };
    for (const auto& event : events) {
        SaverRunning = FALSE;   // a real screen saver has ended
        SendMessageA(MainWindow, event.message, event.event, 0);
        EXPECT_EQ(event.setAgain, SaverRunning) << event.name;
    }
    SuspendGuard();
    SendMessageA(MainWindow, WM_TIMER, IDT_TASKBAR, 0);
    EXPECT_FALSE(SaverRunning) << "the administrator's panel is open";
    ResumeGuard();
    ReleaseGuard();
    SendMessageA(MainWindow, WM_TIMER, IDT_TASKBAR, 0);
    EXPECT_FALSE(SaverRunning) << "the guard is released";
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
}

void RightClick(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

// The stand-in engine counts, in a property of its window, what the real
// engine would act on: its context menu, its help, printing and opening.
int EngineCommands(HWND view) { return (int)(INT_PTR)GetPropA(view, "EngineCommands"); }
int Caret(HWND page) { return LOWORD(SendMessageA(page, EM_GETSEL, 0, 0)); }

TEST_F(HostileGuest, HtmlDialogsKeepTheEnginesOwnWaysOut)
{
    TempFolder pages;
    pages.Write("guest.htm", "<html><head><title>Guest page</title></head><body>"
                             "<a href=\"http://example.com/\">Out</a> into the world, and more text.</body></html>");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile", pages.File("guest.htm").c_str());
    const struct { const char* name; std::vector<WORD> keys; } routes[] = {
        { "a right click", {} }, { "Shift+F10", { VK_SHIFT, VK_F10 } }, { "the Apps key", { VK_APPS } },
        { "F1", { VK_F1 } }, { "Ctrl+P", { VK_CONTROL, 'P' } }, { "Ctrl+O", { VK_CONTROL, 'O' } },
        { "Ctrl+N", { VK_CONTROL, 'N' } },
    };
    for (const auto& dialog : { std::make_pair(VK_F12, "ONLINEHELP"), std::make_pair(VK_F8, "Guest page") }) {
        PostKey(quiet.main, dialog.first);
        HWND view = quiet.shell.WaitForWindow("HalcyneHtmlView", dialog.second);
        ASSERT_NE(nullptr, view) << dialog.second;
        HWND page = FindWindowExA(view, NULL, "RichEdit20A", NULL);
        SetForegroundWindow(view);
        WaitFor([&] { return GetForegroundWindow() == view; }, 2000);
        for (const auto& route : routes) {
            if (route.keys.empty())
                RightClick(page);
            SendKeys(route.keys);
            // Past the first word once Ctrl+End is handled, and the route before it.
            SendKeys({ VK_CONTROL, VK_END });
            bool handled = WaitFor([&] { return Caret(page) > 3; });
            ways.Try(route.name + std::string(" in ") + dialog.second,
                     handled && EngineCommands(view) == 0 && IsWindowVisible(view));
            SendKeys({ VK_CONTROL, VK_HOME });
            WaitFor([&] { return Caret(page) == 0; });
        }
        // A click on the first word, a link out of the page, then a caret put after it to show it was
        // handled. The stand-in opens its browser window on the page's thread, with Shift on its own.
        for (WPARAM shift : { 0, MK_SHIFT }) {
            if (dialog.first != VK_F8)
                break;
            PostMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON | shift, MAKELPARAM(16, 14));
            PostMessageA(page, WM_LBUTTONUP, shift, MAKELPARAM(16, 14));
            PostMessageA(page, EM_SETSEL, 5 + shift, 5 + shift);
            ways.Try(shift ? "Shift and a link out of the page" : "a link out of the page",
                     WaitFor([&] { return Caret(page) == (int)(5 + shift) && quiet.shell.Windows("IEFrame").empty(); })
                     && IsWindowVisible(view));
        }
        PostMessageA(view, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(view); }));
    }
    ways.Try("the shell after the dialogs", ShellStands());
}

TEST(HelpDocument, NoLinkLeavesThePageAndTheEnginesMenuIsOff)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_HELP_HTML), MAKEINTRESOURCEA(23));
    ASSERT_NE(nullptr, found);
    std::string help((const char*)LockResource(LoadResource(NULL, found)), SizeofResource(NULL, found));
    EXPECT_NE(std::string::npos, help.find(" oncontextmenu=\"return false\">"));
    for (size_t at = help.find("href="); at != std::string::npos; at = help.find("href=", at + 1))
        EXPECT_EQ("href=\"#", help.substr(at, 7));
    EXPECT_EQ(std::string::npos, help.find("src=")) << "nothing is fetched from elsewhere";
}

}  // namespace

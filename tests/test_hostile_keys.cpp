// The guest's keys against the guard and the HTML dialogs: the keys a guest
// types while the shell is busy, the shortcuts, and the browser engine's own
// ways out of its dialog.
#include "app/App.h"
#include "core/Core.h"
#include "look/Look.h"
#include "res/resource.h"
#include "support/GuestSupport.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// The hook's thread answers while the interface thread (here this test's)
// is stuck: another thread of the process types meanwhile.
TEST(GuardThread, WindowsKeySwallowedWhileTheInterfaceThreadIsBusy)
{
    EngageGuard(GetModuleHandleA(NULL));
    bool windowsKey = true, ordinaryKey = false;
    std::thread guest([&] {
        KeyRecorder recorder;
        windowsKey = recorder.Reached({ VK_LWIN }, VK_LWIN);
        ordinaryKey = recorder.Reached({ 'A' }, 'A');
    });
    guest.join();
    ReleaseGuard();
    EXPECT_FALSE(windowsKey) << "the Windows key passed while the interface thread was busy";
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
    InitShellState(GetModuleHandleA(NULL));
    InitDialogLook();
    RegisterShellWindowClass(AppInstance);
    MainWindow = CreateWindowExA(0, "Win", "Tavix Halcyne 2.0 (test)", WS_POPUP, 0, 0, 640, 480, NULL, NULL,
                                 AppInstance, NULL);
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

}  // namespace

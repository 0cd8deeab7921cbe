// Shut Down: each choice asks the platform for what it names (through the
// replaceable calls, recorded here so nothing goes down), over a desktop that
// is black while the dialog is open and rebuilt when it closes.
#include "tools/Tools.h"
#include "admin/Admin.h"
#include "app/App.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "taskbar/Taskbar.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

const char ProductKeyPath[] = "Software\\Hx_";

struct PlatformCall {
    std::string name;
    UINT first;
    DWORD second;
    bool operator==(const PlatformCall& other) const
    {
        return name == other.name && first == other.first && second == other.second;
    }
};
std::vector<PlatformCall> Calls;

void PrintTo(const PlatformCall& call, std::ostream* out)
{
    *out << call.name << "(" << call.first << ", " << call.second << ")";
}

BOOL WINAPI RecordExitWindows(UINT flags, DWORD reason)
{
    Calls.push_back({"ExitWindowsEx", flags, reason});
    return TRUE;
}

BOOL WINAPI RecordPowerState(BOOL suspend, BOOL force)
{
    Calls.push_back({"SetSystemPowerState", (UINT)suspend, (DWORD)force});
    return TRUE;
}


// The dialog, driven by its own loop, stays on the screen for a while.
bool StaysOpen(HWND dialog)
{
    return !WaitInDialog(dialog, [&] { return !IsWindowVisible(dialog); }, 300);
}

void PressKey(HWND control, UINT key)
{
    SetFocus(control);
    PostMessageA(control, WM_KEYDOWN, key, 0x00010001);
    PostMessageA(control, WM_KEYUP, key, 0xC0010001);
}


// What the desktop looks like at one moment.
struct DesktopState {
    HWND view = NULL;
    int files = -1, items = -1, images = -1;
    bool imageList = false;
    COLORREF background = 0xFFFFFFFF, text = 0xFFFFFFFF;
    std::string firstLabel;
};

DesktopState Look()
{
    DesktopState state;
    state.view = DesktopViewWindow;
    state.files = ListCount(DesktopFiles);
    state.items = ListViewItemCount(DesktopViewWindow);
    state.imageList = SendMessageA(DesktopViewWindow, LVM_GETIMAGELIST, LVSIL_NORMAL, 0) != 0;
    state.images = DesktopImageList ? ImageList_GetImageCount(DesktopImageList) : -1;
    state.background = (COLORREF)SendMessageA(DesktopViewWindow, LVM_GETBKCOLOR, 0, 0);
    state.text = (COLORREF)SendMessageA(DesktopViewWindow, LVM_GETTEXTCOLOR, 0, 0);
    state.firstLabel = ListViewItemText(DesktopViewWindow, 0);
    return state;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
        return HandleDesktopNotify((NMHDR*)lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A stand-in main window with the real desktop view over a Desktop folder of
// the test's own, and the Start button and clock the rebuild moves.
struct ShutDown : ShellDialogTest {
    TempFolder desktop;
    SavedValue pattern{HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension"};
    SavedValue wallpaper{HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallPaper"};
    HWND host = NULL;
    DWORD savedVersion = 0;

    void SetUp() override
    {
        ShellDialogTest::SetUp();
        savedVersion = WindowsVersion;
        Calls.clear();
        SetShutDownCalls(RecordExitWindows, RecordPowerState);
        desktop.Write("letter.txt", "x");
        desktop.Write("notes.txt", "x");
        lstrcpynA(ProgramInfo.desktopFolder, desktop.path.c_str(), sizeof ProgramInfo.desktopFolder);
        SetRegString(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension", "");
        SetRegString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallPaper", "");
        host = MakeWindow("ShutDownTestHost", HostProc, "", WS_POPUP | WS_VISIBLE, { 0, 0, 400, 300 });
        MainWindow = host;
        DesktopViewWindow = CreateDesktopView(host);
        CreateTaskbarControls(host);
    }
    void TearDown() override
    {
        SetShutDownCalls(ExitWindowsEx, SetSystemPowerState);
        WindowsVersion = savedVersion;
        ReleaseDesktopImages();
        ListClear(&DesktopFiles);
        DestroyWindow(DesktopViewWindow);
        DesktopViewWindow = NULL;
        DestroyWindow(host);
        ReleaseTaskbarControls(host);
        SetCurrentDirectoryA(ExeFolder().c_str());
        ShellDialogTest::TearDown();
    }
    INT_PTR Run() { return RunDialog(IDD_SHUT_DOWN, ShutDownProc, MainWindow); }
    void ExpectRebuilt(HWND oldView)
    {
        DesktopState now = Look();
        EXPECT_NE(oldView, now.view) << "the view is made again";
        EXPECT_EQ(2, now.files);
        EXPECT_EQ(2, now.items);
        EXPECT_EQ("letter", now.firstLabel);
        EXPECT_TRUE(now.imageList);
        EXPECT_EQ(2, now.images);
        EXPECT_NE((COLORREF)0, now.background) << "no longer black";
        RECT start, clock;
        GetWindowRect(GetStartButton(), &start);
        GetWindowRect(GetClockLabel(), &clock);
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        EXPECT_EQ(0, start.left);
        EXPECT_EQ(height - 25, start.top) << "the Start button is back at the bottom";
        EXPECT_EQ(width - 40, clock.left) << "the clock is back at the right";
    }
};

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

}  // namespace

TEST_F(ShutDown, OpensOverABlackDesktopAndCancelRebuildsIt)
{
    DesktopState before = Look();
    ASSERT_EQ(2, before.items);
    DesktopState during;
    std::string caption, question;
    const char* heading = "(not read)";
    bool shutDownChecked = false, othersClear = false;
    bool openAfterHelp = false, openAfterEscape = false;
    size_t callsAfterHelpAndEscape = 99;
    WhenShown("Shut Down (F4)", [&](HWND dialog) {
        caption = WindowText(dialog);
        heading = DialogLook.HeadingText;
        during = Look();
        shutDownChecked = Checked(dialog, IDC_SHUTDOWN_SHUT_DOWN);
        othersClear = !Checked(dialog, IDC_SHUTDOWN_RESTART) && !Checked(dialog, IDC_SHUTDOWN_STAND_BY);

        Click(dialog, IDC_SHUTDOWN_HELP);
        openAfterHelp = StaysOpen(dialog);
        PressKey(GetDlgItem(dialog, IDC_SHUTDOWN_SHUT_DOWN), VK_ESCAPE);
        openAfterEscape = StaysOpen(dialog);
        callsAfterHelpAndEscape = Calls.size();
        Click(dialog, IDC_SHUTDOWN_CANCEL);
    });
    EXPECT_EQ(0, Run());
    EXPECT_EQ("Shut Down (F4)", caption);
    EXPECT_EQ(nullptr, heading) << "no heading is painted";
    EXPECT_TRUE(shutDownChecked);
    EXPECT_TRUE(othersClear);

    EXPECT_EQ(before.view, during.view) << "the view stays while the dialog is open";
    EXPECT_EQ(0, during.files) << "the file list is emptied";
    EXPECT_EQ(2, during.items) << "the view keeps its items";
    EXPECT_EQ("", during.firstLabel) << "which show no label";
    EXPECT_FALSE(during.imageList) << "and no images";
    EXPECT_EQ(-1, during.images) << "the image list is destroyed and forgotten";
    EXPECT_EQ((COLORREF)0, during.background);
    EXPECT_EQ((COLORREF)0, during.text);

    EXPECT_TRUE(openAfterHelp) << "\"Help\" does nothing";
    EXPECT_TRUE(openAfterEscape) << "Escape does nothing";
    EXPECT_EQ(0u, callsAfterHelpAndEscape);
    EXPECT_TRUE(Calls.empty()) << "Cancel asks nothing of the platform";
    ExpectRebuilt(before.view);
}

TEST_F(ShutDown, OkAsksWindowsToGoDownAndTheDialogStays)
{
    std::vector<PlatformCall> afterShutDown, afterRestart, afterEnter;
    bool openAfterOk = false, restartChosen = false, onlyOneChosen = false;
    WhenShown("Shut Down (F4)", [&](HWND dialog) {
        Click(dialog, IDC_SHUTDOWN_OK);
        afterShutDown = Calls;
        openAfterOk = StaysOpen(dialog);

        Calls.clear();
        Click(dialog, IDC_SHUTDOWN_RESTART);
        restartChosen = Checked(dialog, IDC_SHUTDOWN_RESTART);
        onlyOneChosen = !Checked(dialog, IDC_SHUTDOWN_SHUT_DOWN) && !Checked(dialog, IDC_SHUTDOWN_STAND_BY);
        Click(dialog, IDC_SHUTDOWN_OK);
        afterRestart = Calls;

        // Enter with the focus still on "Restart" is "Ok".
        Calls.clear();
        PressKey(GetDlgItem(dialog, IDC_SHUTDOWN_RESTART), VK_RETURN);
        WaitInDialog(dialog, [] { return !Calls.empty(); }, 3000);
        afterEnter = Calls;
        Calls.clear();
        Click(dialog, IDC_SHUTDOWN_CANCEL);
    });
    EXPECT_EQ(0, Run());
    EXPECT_EQ((std::vector<PlatformCall>{{"ExitWindowsEx", EWX_SHUTDOWN, 0}}), afterShutDown)
        << "no EWX_FORCE or other flag";
    EXPECT_TRUE(openAfterOk) << "the dialog stays in case Windows does not go down";
    EXPECT_TRUE(restartChosen);
    EXPECT_TRUE(onlyOneChosen) << "the three choices are one group";
    EXPECT_EQ((std::vector<PlatformCall>{{"ExitWindowsEx", EWX_REBOOT, 0}}), afterRestart);
    EXPECT_EQ((std::vector<PlatformCall>{{"ExitWindowsEx", EWX_REBOOT, 0}}), afterEnter);
    EXPECT_TRUE(Calls.empty());
}

TEST_F(ShutDown, StandBySuspendsThenRebuildsTheDesktopAndCloses)
{
    HWND oldView = DesktopViewWindow;
    bool standByChosen = false;
    WhenShown("Shut Down (F4)", [&](HWND dialog) {
        Click(dialog, IDC_SHUTDOWN_STAND_BY);
        standByChosen = Checked(dialog, IDC_SHUTDOWN_STAND_BY);
        Click(dialog, IDC_SHUTDOWN_OK);
    });
    EXPECT_EQ(0, Run()) << "the dialog closes when the machine wakes";
    EXPECT_TRUE(standByChosen);
    EXPECT_EQ((std::vector<PlatformCall>{{"SetSystemPowerState", TRUE, TRUE}}), Calls)
        << "suspend, forced; nothing else";
    ExpectRebuilt(oldView);
}

namespace {

// Whether the shutdown privilege is enabled in this process's token; sets it
// first when asked.
bool ShutdownPrivilege(int set = -1)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    LUID luid;
    LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &luid);
    if (set >= 0) {
        TOKEN_PRIVILEGES change;
        change.PrivilegeCount = 1;
        change.Privileges[0].Luid = luid;
        change.Privileges[0].Attributes = set ? SE_PRIVILEGE_ENABLED : 0;
        AdjustTokenPrivileges(token, FALSE, &change, sizeof change, NULL, NULL);
    }
    PRIVILEGE_SET query;
    query.PrivilegeCount = 1;
    query.Control = PRIVILEGE_SET_ALL_NECESSARY;
    query.Privilege[0].Luid = luid;
    query.Privilege[0].Attributes = 0;
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &query, &enabled);
    CloseHandle(token);
    return enabled != 0;
}

}  // namespace

TEST_F(ShutDown, EnablesTheShutdownPrivilegeOnOpeningFromWindows2000On)
{
    ShutdownPrivilege(0);
    ASSERT_FALSE(ShutdownPrivilege()) << "the privilege could not be switched off for the test";
    struct Case { DWORD version; bool enabled; const char* why; };
    for (Case c : { Case{ 410, false, "not below version 500" }, Case{ 500, true, "enabled on Windows 2000" } }) {
        WindowsVersion = c.version;
        WhenShown("Shut Down (F4)", [&](HWND dialog) { Click(dialog, IDC_SHUTDOWN_CANCEL); });
        EXPECT_EQ(0, Run()) << c.version;
        EXPECT_EQ(c.enabled, ShutdownPrivilege()) << c.why;
    }
    EXPECT_TRUE(Calls.empty());
}

// The taskbar: clock text, button captions, the window buttons of a rebuild
// (order, places, the cap, skipped titles), clicks that bring a window to
// the front and stay pushed, and the Start menu of the running shell.
#include "app/App.h"
#include "core/Core.h"
#include "taskbar/Taskbar.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam && (HWND)lParam != GetStartButton())
        ActivateWindowButton(window, (HWND)lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A stand-in main window (hidden, so it gets no button of its own) with the
// taskbar controls; the test windows are real top-level windows.
struct TaskbarHost {
    HWND host = NULL;
    std::vector<HWND> windows;

    TaskbarHost()
    {
        AppInstance = GetModuleHandleA(NULL);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = AppInstance;
        windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
        windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        windowClass.lpszClassName = "TaskbarTestWindow";
        RegisterClassA(&windowClass);
        host = MakeWindow("TaskbarTestHost", HostProc, "", WS_POPUP, { 0, 0, 1024, 768 });
        MainWindow = host;
        CreateTaskbarControls(host);
    }
    // The test windows end with the process.
    ~TaskbarHost()
    {
        DestroyWindow(host);
        ForgetWindowButtons();
    }
    // Each new window comes to the top of the Z order. Framed windows are
    // slow to close under Wine; plain ones serve where no frame matters.
    HWND Open(const char* title, DWORD style = WS_OVERLAPPEDWINDOW)
    {
        int n = (int)windows.size();
        HWND window = CreateWindowExA(0, "TaskbarTestWindow", title, style | WS_VISIBLE,
                                      500 + 10 * n, 60 + 10 * n, 260, 140, NULL, NULL, AppInstance, NULL);
        windows.push_back(window);
        DrainQueue();
        return window;
    }
    std::vector<HWND> Buttons() const
    {
        std::vector<HWND> buttons;
        for (HWND child = GetWindow(host, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (ClassOf(child) == "Button" && GetDlgCtrlID(child) == 0)
                buttons.push_back(child);
        std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.left < rb.left;
        });
        return buttons;
    }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (HWND button : Buttons())
            captions.push_back(WindowText(button));
        return captions;
    }
    HWND ButtonFor(const std::string& caption) const
    {
        for (HWND button : Buttons())
            if (WindowText(button) == caption)
                return button;
        return NULL;
    }
    void Click(HWND button) { SendMessageA(host, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)button); }
};

bool Pushed(HWND button) { return (SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }
bool Foreground(HWND window) { return WaitFor([&] { return GetForegroundWindow() == window; }, 2000); }

// Titles of the visible top-level windows that are not this test's own: they
// take buttons too, at the bottom of the Z order.
int ForeignTitledWindows()
{
    struct Counter {
        static BOOL CALLBACK Count(HWND window, LPARAM data)
        {
            char title[64] = "";
            GetWindowTextA(window, title, sizeof title);
            if (IsWindowVisible(window) && lstrlenA(title) >= 2 &&
                CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, title, 15, "Program manager", 15) != 2)
                ++*(int*)data;
            return TRUE;
        }
    };
    int count = 0;
    EnumWindows(Counter::Count, (LPARAM)&count);
    return count;
}

} // namespace

TEST(ClockText, TwoDigitHoursAndMinutes)
{
    struct Case { WORD hour, minute; const char* text; };
    for (Case c : { Case{ 0, 0, "00:00" }, Case{ 9, 5, "09:05" }, Case{ 13, 40, "13:40" },
                    Case{ 23, 59, "23:59" }, Case{ 10, 0, "10:00" }, Case{ 0, 10, "00:10" } }) {
        SYSTEMTIME time = {};
        time.wHour = c.hour;
        time.wMinute = c.minute;
        char text[CLOCK_TEXT_SIZE] = "";
        EXPECT_STREQ(c.text, FormatClockTime(&time, text)) << c.hour << ":" << c.minute;
    }
}

TEST(ButtonCaption, LongTitlesLoseCapitalsShortOnesKeepTheirText)
{
    char long1[] = "UNTITLED - NOTEPAD";
    EXPECT_STREQ("Untitled - nOTEPAD", MakeButtonCaption(long1));
    char twelve[] = "ABCDEFGHIJKL";
    EXPECT_STREQ("Abcdefghijkl", MakeButtonCaption(twelve));
    char eleven[] = "ABCDEFGHIJK";
    EXPECT_STREQ("ABCDEFGHIJK", MakeButtonCaption(eleven));
    char two[] = "Ab";
    EXPECT_STREQ("Ab", MakeButtonCaption(two));
    char one[] = "x";
    EXPECT_EQ(nullptr, MakeButtonCaption(one));
    char none[] = "";
    EXPECT_EQ(nullptr, MakeButtonCaption(none));
    EXPECT_EQ(nullptr, MakeButtonCaption(NULL));
}

TEST(TaskbarControls, StartButtonAndClockAtTheirPlaces)
{
    TaskbarHost bar;
    ASSERT_NE(nullptr, GetStartButton());
    EXPECT_EQ(666, GetDlgCtrlID(GetStartButton()));
    EXPECT_EQ("Start", WindowText(GetStartButton()));
    EXPECT_EQ(0x50000080, GetWindowLongA(GetStartButton(), GWL_STYLE) & 0xFFFFFFFF);
    EXPECT_TRUE(Placed(GetStartButton(), 0, 768 - 25, 57, 25));
    ASSERT_NE(nullptr, GetClockLabel());
    EXPECT_EQ(2, GetDlgCtrlID(GetClockLabel()));
    EXPECT_TRUE(Placed(GetClockLabel(), 1024 - 40, 768 - 22, 57, 17));
    char now[CLOCK_TEXT_SIZE];
    std::string shown = WindowText(GetClockLabel());
    EXPECT_EQ(FormatClockText(now), shown) << "the clock replaces \"init_time\" at once";
    EXPECT_EQ(5u, shown.size());
}

TEST(WindowButtons, FollowTheZOrderSkipShortTitlesAndProgramManager)
{
    TaskbarHost bar;
    int foreign = ForeignTitledWindows();
    bar.Open("First window", WS_POPUP | WS_BORDER);
    bar.Open("x", WS_POPUP | WS_BORDER);
    HWND notes = bar.Open("Notes", WS_POPUP | WS_BORDER);
    bar.Open("Program Manager", WS_POPUP | WS_BORDER);
    bar.Open("SECOND WINDOW TITLE", WS_POPUP | WS_BORDER);
    bar.Open("ab", WS_POPUP | WS_BORDER);
    RebuildWindowButtons(bar.host);
    std::vector<std::string> captions = bar.Captions();
    ASSERT_EQ((size_t)foreign + 4, captions.size());
    captions.erase(captions.begin(), captions.begin() + foreign);
    EXPECT_EQ((std::vector<std::string>{ "First window", "Notes", "Second windoW TITLE", "ab" }), captions);
    EXPECT_EQ(foreign + 5, GetWindowButtonCount()) << "one-letter titles count, \"Program Manager\" does not";

    // The buttons close up: 75 pixels apart from x = 60, 26 pixels above the bottom.
    std::vector<HWND> buttons = bar.Buttons();
    for (size_t k = 0; k < buttons.size(); ++k) {
        EXPECT_TRUE(Placed(buttons[k], 60 + 75 * (int)k, 768 - 26, 75, 25)) << k;
        EXPECT_EQ(0x50000100, GetWindowLongA(buttons[k], GWL_STYLE) & 0xFFFFFFFF);
    }

    // A rebuild that would make the same buttons keeps the standing ones;
    // one changed title and every button is made again.
    RebuildWindowButtons(bar.host);
    EXPECT_EQ(buttons, bar.Buttons());
    SetWindowTextA(notes, "Notes - changed");
    RebuildWindowButtons(bar.host);
    for (HWND old : buttons)
        EXPECT_FALSE(IsWindow(old));
    ASSERT_EQ(buttons.size(), bar.Buttons().size());
    EXPECT_EQ("Notes - changed", WindowText(bar.Buttons()[foreign + 1]));
}

// Several memory cleaners at once can leave the rebuild short of memory on
// any of its allocations; the next rebuild then makes every button.
TEST(WindowButtons, RebuildsShortOfMemoryLeaveTheTaskbarStanding)
{
    TaskbarHost bar;
    int foreign = ForeignTitledWindows();
    bar.Open("First window", WS_POPUP | WS_BORDER);
    bar.Open("Second window", WS_POPUP | WS_BORDER);
    for (int left = 0; left < 12; left++) {
        MemoryShortage shortage(left);
        RebuildWindowButtons(bar.host);
    }
    RebuildWindowButtons(bar.host);
    EXPECT_EQ((size_t)foreign + 2, bar.Captions().size());
}

TEST(WindowButtons, AtMostFourteenFromTheBottomOfTheZOrder)
{
    TaskbarHost bar;
    int foreign = ForeignTitledWindows();
    ASSERT_LE(foreign, 2) << "too many foreign windows for this test";
    auto title = [](int n) {
        char text[32];
        sprintf(text, "Window number %02d", n);
        return std::string(text);
    };
    for (int n = 1; n <= 15; ++n)
        bar.Open(title(n).c_str(), WS_POPUP | WS_BORDER);
    RebuildWindowButtons(bar.host);
    std::vector<std::string> captions = bar.Captions();
    ASSERT_EQ(14u, captions.size());
    EXPECT_EQ(14, GetWindowButtonCount());
    for (int k = foreign; k < 14; ++k)
        EXPECT_EQ(title(k - foreign + 1), captions[k]);
    RECT last;
    GetWindowRect(bar.Buttons().back(), &last);
    EXPECT_EQ(1035, last.left);
}

TEST(WindowButtons, ClickBringsTheWindowForwardAsItWasAndStaysPushed)
{
    TaskbarHost bar;
    HWND alpha = bar.Open("Alpha");
    HWND beta = bar.Open("BETA WINDOW LONG");
    HWND gamma = bar.Open("Gamma maximised");
    ShowWindow(gamma, SW_MAXIMIZE);
    RebuildWindowButtons(bar.host);

    HWND alphaButton = bar.ButtonFor("Alpha");
    ASSERT_NE(nullptr, alphaButton) << "a short title keeps its text as caption";
    bar.Click(alphaButton);
    EXPECT_TRUE(Foreground(alpha));
    EXPECT_TRUE(Pushed(alphaButton));
    EXPECT_STREQ("Alpha", GetLastClickedCaption());

    RebuildWindowButtons(bar.host);
    for (HWND button : bar.Buttons())
        EXPECT_EQ(WindowText(button) == "Alpha", Pushed(button)) << WindowText(button);

    // A minimised window comes back restored; a maximised one stays maximised.
    ShowWindow(beta, SW_MINIMIZE);
    DrainQueue();
    HWND betaButton = bar.ButtonFor("Beta window LONG");
    ASSERT_NE(nullptr, betaButton);
    bar.Click(betaButton);
    EXPECT_TRUE(Foreground(beta));
    EXPECT_FALSE(IsIconic(beta));
    bar.Click(bar.ButtonFor("Gamma maximised"));
    EXPECT_TRUE(Foreground(gamma));
    EXPECT_TRUE(IsZoomed(gamma));
    RebuildWindowButtons(bar.host);
    EXPECT_TRUE(Pushed(bar.ButtonFor("Gamma maximised")));
    EXPECT_FALSE(Pushed(bar.ButtonFor("Alpha")));
}

// Two-letter titles get a button, but a click on a caption of two
// characters or fewer does nothing.
TEST(WindowButtons, ClickOnATwoLetterTitleDoesNothing)
{
    TaskbarHost bar;
    bar.Open("Go");
    HWND cover = bar.Open("Cover window");
    RebuildWindowButtons(bar.host);
    ASSERT_EQ(cover, GetForegroundWindow());
    HWND button = bar.ButtonFor("Go");
    ASSERT_NE(nullptr, button);
    bar.Click(button);
    EXPECT_TRUE(Holds([&] { return GetForegroundWindow() == cover; }, 100));
    EXPECT_FALSE(Pushed(button));
    EXPECT_STREQ("", GetLastClickedCaption());
}

TEST(WindowButtons, TwoTitlesAlikeBothPushedAndTheHigherComesForward)
{
    TaskbarHost bar;
    bar.Open("Twin window");
    HWND upper = bar.Open("Twin window");
    HWND other = bar.Open("Other window");
    RebuildWindowButtons(bar.host);
    ASSERT_EQ(other, GetForegroundWindow());
    std::vector<HWND> buttons = bar.Buttons();
    auto twin = std::find_if(buttons.begin(), buttons.end(),
                             [](HWND b) { return WindowText(b) == "Twin window"; });
    ASSERT_NE(buttons.end(), twin);
    bar.Click(*twin);   // the button of the lower one
    EXPECT_TRUE(Foreground(upper));
    RebuildWindowButtons(bar.host);
    int pushed = 0;
    for (HWND button : bar.Buttons())
        if (Pushed(button)) {
            EXPECT_EQ("Twin window", WindowText(button));
            ++pushed;
        }
    EXPECT_EQ(2, pushed);
}

TEST(WindowButtons, ClickForAWindowJustClosedActivatesNothing)
{
    TaskbarHost bar;
    HWND gone = bar.Open("Vanishing window");
    HWND front = bar.Open("Front window");
    RebuildWindowButtons(bar.host);
    HWND button = bar.ButtonFor("Vanishing window");
    ASSERT_NE(nullptr, button);
    DestroyWindow(gone);
    bar.windows.erase(bar.windows.begin());
    DrainQueue();
    bar.Click(button);
    EXPECT_STREQ("Vanishing window", GetLastClickedCaption());
    EXPECT_TRUE(Holds([&] { return GetForegroundWindow() == front; }, 100));
}

// The running shell: its own window gets a button, a click brings a window
// forward, and the Start button opens the commands menu upwards.
TEST(ShellTaskbar, ButtonsOfTheRunningShellActivateWindows)
{
    QuietShell quiet;
    ASSERT_TRUE(quiet.Start());
    HWND main = quiet.main;
    TaskbarHost bar;   // only for its test windows
    HWND notes = bar.Open("Notes");
    bar.Open("A LONGER WINDOW TITLE");
    HWND buttonForNotes = NULL;
    auto findButtons = [&] {
        buttonForNotes = NULL;
        bool shellButton = false, longButton = false;
        for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) != "Button" || GetDlgCtrlID(child) != 0)
                continue;
            std::string text = WindowText(child);
            shellButton |= text == "Tavix halcyne 2.0";
            longButton |= text == "A longer winDOW TITLE";
            if (text == "Notes")
                buttonForNotes = child;
        }
        return shellButton && longButton && buttonForNotes;
    };
    ASSERT_TRUE(WaitFor(findButtons, 6000)) << "no buttons for the shell and the test windows";

    SetForegroundWindow(main);
    WaitFor([&] { return GetForegroundWindow() == main; }, 1000);
    bool activated = WaitFor([&] {
        if (findButtons())
            PostMessageA(main, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)buttonForNotes);
        Pump(200);
        return GetForegroundWindow() == notes;
    }, 6000);
    EXPECT_TRUE(activated) << "a click on \"Notes\" did not bring it forward";
    EXPECT_TRUE(WaitFor([&] { return findButtons() && Pushed(buttonForNotes); }, 4000));

    std::string clock = WindowText(GetDlgItem(main, 2));
    ASSERT_EQ(5u, clock.size()) << clock;
    EXPECT_EQ(':', clock[2]);
    EXPECT_TRUE(isdigit((unsigned char)clock[0]) && isdigit((unsigned char)clock[1]) &&
                isdigit((unsigned char)clock[3]) && isdigit((unsigned char)clock[4])) << clock;
}

TEST(ShellTaskbar, StartButtonOpensTheMenuUpwardsWhilePushed)
{
    QuietShell quiet;
    ASSERT_TRUE(quiet.Start());
    HWND start = GetDlgItem(quiet.main, 666);
    ASSERT_NE(nullptr, start);
    SetCursorPos(600, 300);
    PostMessageA(quiet.main, WM_COMMAND, MAKEWPARAM(666, BN_CLICKED), (LPARAM)start);
    HWND menu = quiet.shell.WaitForWindow("#32768", nullptr, 5000);
    ASSERT_NE(nullptr, menu);
    RECT rect;
    GetWindowRect(menu, &rect);
    int height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(1, rect.left);
    EXPECT_EQ(height - 26, rect.bottom);
    EXPECT_TRUE(Pushed(start));
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 3000));
    EXPECT_TRUE(WaitFor([&] { return !Pushed(start); }, 3000));
}

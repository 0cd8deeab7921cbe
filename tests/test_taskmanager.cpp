// The Task Manager: the titles of the visible top-level windows, refreshed
// every second, "End Task" on another program, and the windows it refuses.
#include "tools/Tools.h"
#include "admin/Admin.h"
#include "app/App.h"
#include "look/Look.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {


// Captionless, so that closing it costs nothing; its title still counts.
HWND TitledWindow(const char* title, bool visible = true)
{
    return CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_BORDER | (visible ? WS_VISIBLE : 0), 60, 60,
                           200, 100, NULL, NULL, NULL, NULL);
}

std::vector<std::string> Lines(HWND dialog)
{
    std::vector<std::string> lines;
    int count = (int)SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[256] = "";
        SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETTEXT, i, (LPARAM)text);
        lines.push_back(text);
    }
    return lines;
}

bool Listed(HWND dialog, const std::string& title)
{
    std::vector<std::string> lines = Lines(dialog);
    return std::find(lines.begin(), lines.end(), title) != lines.end();
}

int Selection(HWND dialog)
{
    return (int)SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETCURSEL, 0, 0);
}

// Selects the line with exactly this text; returns its index or -1.
int Select(HWND dialog, const std::string& title)
{
    int index = (int)SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_FINDSTRINGEXACT, (WPARAM)-1,
                                         (LPARAM)title.c_str());
    if (index < 0)
        return -1;
    SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_SETCURSEL, index, 0);
    return index;
}


// Waits for the next refresh: the timer's fill empties the list first, so a
// mark left on the first line's data is gone once the timer has run.
bool WaitForRefresh(HWND dialog)
{
    const LPARAM mark = 0x5A5A;
    if (SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_SETITEMDATA, 0, mark) == LB_ERR)
        return false;
    return WaitInDialog(dialog, [&] {
        return SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETITEMDATA, 0, 0) != mark;
    }, 5000);
}

struct TaskManager : ShellDialogTest {
    void SetUp() override
    {
        ShellDialogTest::SetUp();
        standIns.push_back(MainWindow = TitledWindow("Tavix Halcyne 2.0"));
        standIns.push_back(OptionsPanelWindow = TitledWindow("Halcyne 2.0 Options Panel"));
    }
    INT_PTR Run() { return RunDialog(IDD_TASK_MANAGER, TaskManagerProc, MainWindow); }
};

}  // namespace

TEST(TaskManagerList, FillSkipsUntitledAndOneLetterTitles)
{
    HWND box = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT, 0, 0, 100, 100, NULL, NULL, NULL,
                               NULL);
    SendMessageA(box, LB_ADDSTRING, 0, (LPARAM)"left over");
    StringList titles = NULL;
    for (const char* title : {"", "A", "Ab", "zeta", "Mail", "7"})
        ListPushFront(&titles, title);
    FillListBox(titles, box);
    char text[64];
    std::vector<std::string> lines;
    for (int i = 0; i < (int)SendMessageA(box, LB_GETCOUNT, 0, 0); i++) {
        SendMessageA(box, LB_GETTEXT, i, (LPARAM)text);
        lines.push_back(text);
    }
    EXPECT_EQ((std::vector<std::string>{"Ab", "Mail", "zeta"}), lines);
    FillListBox(NULL, box);
    EXPECT_EQ(0, SendMessageA(box, LB_GETCOUNT, 0, 0)) << "an empty list empties the box";
    ListClear(&titles);
    DestroyWindow(box);
}

TEST_F(TaskManager, ListsVisibleTitledWindowsAndFollowsThemEverySecond)
{
    const std::string longTitle(80, 'L');
    HWND alpha = TitledWindow("Tools Alpha Window");
    HWND beta = TitledWindow("tools beta window");
    HWND letter = TitledWindow("X");
    HWND untitled = TitledWindow("");
    HWND hidden = TitledWindow("Tools Hidden Window", false);
    HWND longOne = TitledWindow(longTitle.c_str());
    HWND gamma = NULL;

    std::vector<std::string> first, second, third;
    int keptSelection = -2, selected = -1;
    bool ownTitleListed = false, closedByEscape = false;
    int refreshed = 0;
    WhenShown("Task Manager", [&](HWND dialog) {
        first = Lines(dialog);
        ownTitleListed = WaitForRefresh(dialog) && Listed(dialog, "Task Manager");
        gamma = TitledWindow("Tools Gamma Window");
        DestroyWindow(alpha);
        refreshed += WaitForRefresh(dialog);
        second = Lines(dialog);

        selected = Select(dialog, "Tools Gamma Window");
        refreshed += WaitForRefresh(dialog);
        keptSelection = Selection(dialog);
        third = Lines(dialog);

        // Escape is "Exit" here.
        HWND list = GetDlgItem(dialog, IDC_TASK_LIST);
        SetFocus(list);
        PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(list, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        closedByEscape = WaitInDialog(dialog, [&] { return !IsWindowVisible(dialog); }, 3000);
        if (!closedByEscape)
            ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, Run());
    EXPECT_TRUE(closedByEscape) << "Escape is \"Exit\"";

    auto has = [](const std::vector<std::string>& lines, const std::string& title) {
        return std::find(lines.begin(), lines.end(), title) != lines.end();
    };
    EXPECT_TRUE(has(first, "Tools Alpha Window"));
    EXPECT_TRUE(has(first, "tools beta window"));
    EXPECT_TRUE(has(first, "Tavix Halcyne 2.0"));
    EXPECT_FALSE(has(first, "X")) << "one-letter titles are left out";
    EXPECT_FALSE(has(first, "")) << "untitled windows are left out";
    EXPECT_FALSE(has(first, "Tools Hidden Window")) << "hidden windows are left out";
    EXPECT_TRUE(has(first, longTitle.substr(0, 63))) << "titles are cut to 63 characters";
    EXPECT_FALSE(has(first, longTitle));
    std::vector<std::string> sorted = first;
    std::sort(sorted.begin(), sorted.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(sorted, first) << "in the list box's alphabetical order";

    EXPECT_TRUE(ownTitleListed) << "the Task Manager lists itself from the first refresh on";
    EXPECT_EQ(2, refreshed) << "the list is filled again every second";
    EXPECT_TRUE(has(second, "Tools Gamma Window")) << "a new window shows at the next refresh";
    EXPECT_FALSE(has(second, "Tools Alpha Window")) << "a closed window goes at the next refresh";
    EXPECT_TRUE(has(second, "tools beta window"));
    ASSERT_GE(selected, 0);
    EXPECT_EQ(selected, keptSelection) << "the refresh keeps the selected index";
    EXPECT_EQ(second, third);

    for (HWND window : {beta, letter, untitled, hidden, longOne, gamma})
        DestroyWindow(window);
}

TEST_F(TaskManager, EndTaskEndsTheChosenProgramWithCode19)
{
    TitledWindowProcess victim("Halcyne Test Victim");
    ASSERT_NE(nullptr, victim.window);
    HWND before = TitledWindow("Aaa Halcyne First Line");   // a line above the victim's

    bool listed = false, aliveWithoutSelection = false, goneAfterRefresh = false;
    int index = -1, keptSelection = -2;
    DWORD code = 0;
    WhenShown("Task Manager", [&](HWND dialog) {
        listed = WaitInDialog(dialog, [&] { return Listed(dialog, "Halcyne Test Victim"); }, 5000);

        // With nothing selected "End Task" does nothing.
        SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_SETCURSEL, (WPARAM)-1, 0);
        ClickButton(dialog, IDC_TASK_END);
        aliveWithoutSelection = victim.ExitCode(500) == STILL_ACTIVE;

        index = Select(dialog, "Halcyne Test Victim");
        ClickButton(dialog, IDC_TASK_END);
        code = victim.ExitCode(10000);
        goneAfterRefresh = WaitInDialog(dialog, [&] { return !Listed(dialog, "Halcyne Test Victim"); },
                                        5000);
        keptSelection = Selection(dialog);
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, Run());
    DestroyWindow(before);
    EXPECT_TRUE(listed);
    EXPECT_TRUE(aliveWithoutSelection) << "nothing selected, nothing ended";
    ASSERT_GE(index, 0);
    EXPECT_EQ(19u, code) << "the program is ended with exit code 19";
    EXPECT_TRUE(goneAfterRefresh) << "its line goes at the next refresh";
    EXPECT_EQ(index, keptSelection) << "the selection stays on the same index";
}

// The selected line stands for the top-most window whose title begins with it.
TEST_F(TaskManager, EndTaskTakesTheTopMostWindowWhoseTitleBeginsWithTheLine)
{
    TitledWindowProcess shortOne("Halcyne Prefix Victim");
    TitledWindowProcess longOne("HALCYNE PREFIX VICTIM Two");
    ASSERT_NE(nullptr, shortOne.window);
    ASSERT_NE(nullptr, longOne.window);
    DWORD longCode = 0;
    bool shortAlive = false;
    WhenShown("Task Manager", [&](HWND dialog) {
        WaitInDialog(dialog, [&] { return Listed(dialog, "HALCYNE PREFIX VICTIM Two"); }, 5000);
        // The longer title above the shorter one, both below the dialog.
        SetWindowPos(longOne.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Select(dialog, "Halcyne Prefix Victim");
        ClickButton(dialog, IDC_TASK_END);
        longCode = longOne.ExitCode(10000);
        shortAlive = shortOne.Running();
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, Run());
    EXPECT_EQ(19u, longCode) << "the top-most window with that beginning, case ignored";
    EXPECT_TRUE(shortAlive) << "the line's own window stays";
}

TEST_F(TaskManager, RefusesToEndTheShellItsPanelAndItself)
{
    std::vector<std::string> warnings, boxCaptions;
    std::vector<HWND> boxOwners;
    HWND shown = NULL;
    auto closeWarning = [&](HWND box) {
        boxCaptions.push_back(WindowText(box));
        warnings.push_back(MessageBoxText(box));
        boxOwners.push_back(GetWindow(box, GW_OWNER));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    WhenShown("Task Manager", [&](HWND dialog) {
        shown = dialog;
        EXPECT_TRUE(WaitForRefresh(dialog));   // lists itself from the first refresh on
        for (const char* title : {"Tavix Halcyne 2.0", "Halcyne 2.0 Options Panel", "Task Manager"}) {
            if (Select(dialog, title) < 0) {
                ADD_FAILURE() << "not listed: " << title;
                continue;
            }
            WhenShown("Halcyne 2.08", closeWarning);
            ClickButton(dialog, IDC_TASK_END);   // returns when the warning is closed
        }
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, Run());
    ASSERT_EQ(3u, warnings.size());
    for (size_t i = 0; i < warnings.size(); i++) {
        EXPECT_EQ("Operation Not Permitted! If you want to quit Halcyne press the 'Quit to Windows' "
                  "button.",
                  warnings[i]);
        EXPECT_EQ("Halcyne 2.08", boxCaptions[i]);
        EXPECT_EQ(shown, boxOwners[i]) << "owned by the Task Manager";
    }
    EXPECT_TRUE(IsWindow(MainWindow));
    EXPECT_TRUE(IsWindow(OptionsPanelWindow));
}

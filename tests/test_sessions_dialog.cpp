// Guest Sessions, the administrator's dialog: what it shows, what OK writes
// and with which types, what it refuses, and the panel's price fields.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "res/resource.h"
#include "session/Session.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <deque>

namespace {

const char Key[] = "Software\\Hx_";
const char* const Values[] = { "SessionMode", "SessionMinutes", "WarnMinutes", "IdleMinutes",
                               "BillingMinutes", "Hcost", "Hcost2", "CostDecimals",
                               "CurrencyText", "SessionLog", "SessionCleanup" };
const int Fields[] = { IDC_SESSIONS_MINUTES, IDC_SESSIONS_WARN, IDC_SESSIONS_IDLE, IDC_SESSIONS_BILLING,
                       IDC_SESSIONS_HCOST, IDC_SESSIONS_HCOST2, IDC_SESSIONS_DECIMALS, IDC_SESSIONS_CURRENCY,
                       IDC_SESSIONS_LOG, IDC_SESSIONS_CLEANUP, IDC_SESSIONS_COUNT, IDC_SESSIONS_USED,
                       IDC_SESSIONS_TAKINGS };

// Every value as stored: a DWORD as its number, a string quoted, "-" for none.
std::string Stored()
{
    std::string all, text;
    for (const char* name : Values) {
        DWORD number = 0;
        all += GetRegDword(HKEY_CURRENT_USER, Key, name, &number) ? std::to_string(number)
               : GetRegString(HKEY_CURRENT_USER, Key, name, &text) ? "'" + text + "'" : "-";
        all += " ";
    }
    return all;
}

// The chosen mode, then every field as shown, separated by "|".
std::string Shown(HWND dialog)
{
    std::string shown = Checked(dialog, IDC_SESSIONS_FREE) ? "1" : Checked(dialog, IDC_SESSIONS_PAID) ? "2" : "0";
    for (int field : Fields)
        shown += "|" + WindowText(GetDlgItem(dialog, field));
    return shown;
}

struct SessionsDialog : ShellDialogTest {
    std::deque<SavedValue> saved;
    TempFolder folder;
    void SetUp() override
    {
        ShellDialogTest::SetUp();
        for (const char* name : Values) {
            saved.emplace_back(HKEY_CURRENT_USER, Key, name);
            DeleteRegValue(HKEY_CURRENT_USER, Key, name);
        }
        MainWindow = StandIn("Tavix Halcyne 2.0");
    }
    INT_PTR Run(std::function<void(HWND)> step)
    {
        WhenShown("Guest Sessions", step);
        return RunDialog(IDD_GUEST_SESSIONS, GuestSessionsDialog, MainWindow);
    }
};

const char NothingStored[] = "- - - - - - - - - - - ";

TEST_F(SessionsDialog, ShowsDefaultsAndStoredValuesAndWritesNothingOnOpenOrCancel)
{
    std::string defaults, stored;
    bool endEnabled = true;
    EXPECT_EQ(2, Run([&](HWND dialog) {
        defaults = Shown(dialog);
        endEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_SESSIONS_END)) != 0;
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);   // Escape: it stays
        EXPECT_TRUE(IsWindowVisible(dialog));
        ClickButton(dialog, IDC_SESSIONS_CANCEL);
    }));
    char log[MAX_PATH];
    DefaultSessionLogPath(log, sizeof log);
    EXPECT_EQ("0|60|5|10|15|||2||" + std::string(log) + "||0|0|0.00", defaults);
    EXPECT_FALSE(endEnabled) << "no session is running";
    EXPECT_EQ(NothingStored, Stored());

    const DWORD numbers[] = { 2, 30, 3, 0, 10 };
    for (int i = 0; i < 5; i++)
        SetRegDword(HKEY_CURRENT_USER, Key, Values[i], numbers[i]);
    SetRegString(HKEY_CURRENT_USER, Key, "Hcost", "200");
    SetRegString(HKEY_CURRENT_USER, Key, "Hcost2", "150");
    SetRegDword(HKEY_CURRENT_USER, Key, "CostDecimals", 0);
    SetRegString(HKEY_CURRENT_USER, Key, "CurrencyText", "EUR ");
    SetRegString(HKEY_CURRENT_USER, Key, "SessionLog", folder.File("none.csv").c_str());
    SetRegString(HKEY_CURRENT_USER, Key, "SessionCleanup", "cleanup.bat /all");
    std::string before = Stored();
    Run([&](HWND dialog) {
        stored = Shown(dialog);
        ClickButton(dialog, IDC_SESSIONS_CANCEL);
    });
    EXPECT_EQ("2|30|3|0|10|200|150|0|EUR |" + folder.File("none.csv") + "|cleanup.bat /all|0|0|EUR 0", stored);
    EXPECT_EQ(before, Stored());
}

// Needs the log's reader: the day's lines only, free sessions without a cost.
TEST_F(SessionsDialog, TodaysSessionsMinutesAndTakingsFromTheLog)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char day[16];
    wsprintfA(day, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    std::string today = day;
    folder.Write("sessions.csv", "computer,start,end,minutes,cost,reason\r\n"
                 "PC1," + today + " 09:00:00," + today + " 09:10:00,10,0.50,guest\r\n"
                 "PC2,2001-01-01 09:00:00,2001-01-01 10:00:00,60,2.00,limit\r\n"
                 "PC2," + today + " 10:00:00," + today + " 11:10:00,70,2.38,administrator\r\n"
                 "PC1," + today + " 12:00:00," + today + " 12:05:00,5,,idle\r\n");
    SetRegString(HKEY_CURRENT_USER, Key, "SessionLog", folder.File("sessions.csv").c_str());
    SetRegString(HKEY_CURRENT_USER, Key, "CurrencyText", "$");
    std::string totals[3];
    Run([&](HWND dialog) {
        for (int i = 0; i < 3; i++)
            totals[i] = WindowText(GetDlgItem(dialog, IDC_SESSIONS_COUNT + i));
        ClickButton(dialog, IDC_SESSIONS_CANCEL);
    });
    EXPECT_EQ("3", totals[0]);
    EXPECT_EQ("85", totals[1]);
    EXPECT_EQ("$2.88", totals[2]);
}

TEST_F(SessionsDialog, OkWritesNumbersAsDwordsAndPricesAsDigitsIntoThePanelToo)
{
    HWND panel = StandIn("panel");
    for (int id : { IDC_PANEL_HCOST, IDC_PANEL_HCOST2 })
        CreateWindowExA(0, "EDIT", "9", WS_CHILD, 0, 0, 50, 12, panel, (HMENU)(INT_PTR)id, NULL, NULL);
    OptionsPanelWindow = panel;
    std::string typed;
    EXPECT_EQ(1, Run([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_SESSIONS_FREE, BM_CLICK, 0, 0);
        SetDlgItemTextA(dialog, IDC_SESSIONS_HCOST, "");
        TypeText(GetDlgItem(dialog, IDC_SESSIONS_HCOST), "12x3456789012345");
        typed = WindowText(GetDlgItem(dialog, IDC_SESSIONS_HCOST));
        const char* texts[] = { "45", "2", "7", "20", "250", "", "3", "$ ", "C:\\log.csv", "" };
        for (int i = 0; i < 10; i++)
            SetDlgItemTextA(dialog, Fields[i], texts[i]);
        ClickButton(dialog, IDC_SESSIONS_OK);
    }));
    EXPECT_EQ("12345678901", typed) << "digits only, at most 11";
    EXPECT_EQ("1 45 2 7 20 '250' '' 3 '$ ' 'C:\\log.csv' '' ", Stored());
    EXPECT_EQ("250", WindowText(GetDlgItem(panel, IDC_PANEL_HCOST)));
    EXPECT_EQ("", WindowText(GetDlgItem(panel, IDC_PANEL_HCOST2)));
}

TEST_F(SessionsDialog, TooLongPathsAndTooLargePricesAreRefusedWithNothingWritten)
{
    const struct { int field; std::string text; const char* message; } cases[] = {
        { IDC_SESSIONS_LOG, "C:\\" + std::string(260, 'a'), "Path too long: it was not stored !" },
        { IDC_SESSIONS_CLEANUP, std::string(256, 'b'), "Path too long: it was not stored !" },
        { IDC_SESSIONS_HCOST2, "4294967296", "A price must be a whole number of at most 4294967295 !" },
    };
    for (const auto& c : cases) {
        std::string message;
        bool open = false;
        EXPECT_EQ(2, Run([&](HWND dialog) {
            SetDlgItemTextA(dialog, c.field, c.text.c_str());
            AnswerBox("Halcyne 2.08", &message);
            ClickButton(dialog, IDC_SESSIONS_OK);
            open = IsWindowVisible(dialog) != 0;
            ClickButton(dialog, IDC_SESSIONS_CANCEL);
        }));
        EXPECT_EQ(c.message, message);
        EXPECT_TRUE(open);
        EXPECT_EQ(NothingStored, Stored()) << c.message;
    }
}

// As the administrator: F3, the panel, Guest Sessions, paid sessions and a
// new price, OK; the panel's own OK then keeps that price.
TEST(SessionsFromThePanel, ModeAndPriceSurviveThePanelsOk)
{
    FileBackup systemIni(SystemIniPath()), msdos(MsDosSysPath);
    SavedValue drag(HKEY_CURRENT_USER, "Control Panel\\Desktop", "DragFullWindows");
    BrowserFolder browser;
    QuietShell quiet;
    ASSERT_TRUE(quiet.Start());
    HWND panel = LogIntoPanel(quiet.shell, quiet.main);
    ASSERT_NE(nullptr, panel);
    PostButtonClick(panel, IDC_PANEL_SESSIONS);
    HWND dialog = quiet.shell.WaitForWindow("#32770", "Guest Sessions");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(quiet.main, GetWindow(dialog, GW_OWNER));
    SendDlgItemMessageA(dialog, IDC_SESSIONS_PAID, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_SESSIONS_HCOST, WM_SETTEXT, 0, (LPARAM)"300");
    SendDlgItemMessageA(dialog, IDC_SESSIONS_HCOST2, WM_SETTEXT, 0, (LPARAM)"120");
    PostButtonClick(dialog, IDC_SESSIONS_OK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ("300", WindowText(GetDlgItem(panel, IDC_PANEL_HCOST)));
    EXPECT_EQ("120", WindowText(GetDlgItem(panel, IDC_PANEL_HCOST2)));
    PostButtonClick(panel, IDC_PANEL_OK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(panel); }));
    DWORD mode = 0;
    EXPECT_TRUE(GetRegDword(HKEY_CURRENT_USER, Key, "SessionMode", &mode));
    EXPECT_EQ(2u, mode);
    EXPECT_EQ("300", RegText(Key, "Hcost"));
    EXPECT_EQ("120", RegText(Key, "Hcost2"));
}

}  // namespace

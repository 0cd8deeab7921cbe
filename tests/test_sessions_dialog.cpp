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
const char* const Values[] = { "SessionMode", "SessionMinutes", "WarnMinutes", "IdleMinutes", "BillingMinutes",
                               "CostDecimals", "Hcost", "Hcost2", "CurrencyText", "SessionLog", "SessionCleanup" };
const int Fields[] = { IDC_SESSIONS_MINUTES, IDC_SESSIONS_WARN, IDC_SESSIONS_IDLE, IDC_SESSIONS_BILLING,
                       IDC_SESSIONS_DECIMALS, IDC_SESSIONS_HCOST, IDC_SESSIONS_HCOST2, IDC_SESSIONS_CURRENCY,
                       IDC_SESSIONS_LOG, IDC_SESSIONS_CLEANUP, IDC_SESSIONS_COUNT, IDC_SESSIONS_USED,
                       IDC_SESSIONS_TAKINGS };
const char NothingStored[] = "- - - - - - - - - - - ";

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
    // The chosen mode, then every field as shown, separated by "|"; then Cancel.
    std::string Shown()
    {
        std::string shown;
        WhenShown("Guest Sessions", [&](HWND dialog) {
            shown = Checked(dialog, IDC_SESSIONS_FREE) ? "1" : Checked(dialog, IDC_SESSIONS_PAID) ? "2" : "0";
            for (int field : Fields)
                shown += "|" + WindowText(GetDlgItem(dialog, field));
            shown += IsWindowEnabled(GetDlgItem(dialog, IDC_SESSIONS_END)) ? "|end" : "";
            ClickButton(dialog, IDC_SESSIONS_CANCEL);
        });
        RunDialog(IDD_GUEST_SESSIONS, GuestSessionsDialog, MainWindow);
        return shown;
    }
};

TEST_F(SessionsDialog, ShowsDefaultsOrStoredValuesAndOpeningOrCancelWritesNothing)
{
    char log[MAX_PATH];
    DefaultSessionLogPath(log, sizeof log);
    EXPECT_EQ("0|60|5|10|15|2||||" + std::string(log) + "||0|0|0.00", Shown()) << "no session runs: no end";
    EXPECT_EQ(NothingStored, Stored());
    const DWORD numbers[] = { 2, 30, 3, 0, 10, 0 };
    const char* texts[] = { "200", "150", "EUR ", "C:\\none.csv", "cleanup.bat /all" };
    for (int i = 0; i < 11; i++)
        i < 6 ? SetRegDword(HKEY_CURRENT_USER, Key, Values[i], numbers[i])
              : SetRegString(HKEY_CURRENT_USER, Key, Values[i], texts[i - 6]);
    std::string before = Stored();
    EXPECT_EQ("2|30|3|0|10|0|200|150|EUR |C:\\none.csv|cleanup.bat /all|0|0|EUR 0", Shown());
    EXPECT_EQ(before, Stored());
}

// Needs the log's reader: the day's lines only, free sessions without a cost.
TEST_F(SessionsDialog, TodaysSessionsMinutesAndTakingsFromTheLog)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char day[16];
    wsprintfA(day, "%04u-%02u-%02u ", now.wYear, now.wMonth, now.wDay);
    std::string line = std::string("PC1,") + day + "09:00:00," + day + "10:10:00,";
    folder.Write("s.csv", "computer,start,end,minutes,cost,reason\r\n" + line + "10,0.50,guest\r\n"
                 "PC2,2001-01-01 09:00:00,2001-01-01 10:00:00,60,2.00,limit\r\n" +
                 line + "70,2.38,administrator\r\n" + line + "5,,idle\r\n");
    SetRegString(HKEY_CURRENT_USER, Key, "SessionLog", folder.File("s.csv").c_str());
    SetRegString(HKEY_CURRENT_USER, Key, "CurrencyText", "$");
    std::string shown = Shown();
    EXPECT_NE(std::string::npos, shown.find("s.csv||3|85|$2.88")) << shown;
}

TEST_F(SessionsDialog, OkWritesNumbersAsDwordsAndPricesAsDigitsAfterRefusingWhatCannotBeStored)
{
    const struct { int field; std::string text; const char* message; } refused[] = {
        { IDC_SESSIONS_LOG, "C:\\" + std::string(260, 'a'), "Path too long: it was not stored !" },
        { IDC_SESSIONS_CLEANUP, std::string(256, 'b'), "Path too long: it was not stored !" },
        { IDC_SESSIONS_HCOST2, "4294967296", "A price must be a whole number of at most 4294967295 !" },
    };
    std::string typed;
    WhenShown("Guest Sessions", [&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_SESSIONS_FREE, BM_CLICK, 0, 0);
        for (const auto& r : refused) {
            std::string message;
            SetDlgItemTextA(dialog, r.field, r.text.c_str());
            AnswerBox("Halcyne 2.08", &message);
            ClickButton(dialog, IDC_SESSIONS_OK);
            EXPECT_EQ(r.message, message);
            EXPECT_TRUE(IsWindowVisible(dialog));
            EXPECT_EQ(NothingStored, Stored()) << r.message;
            SetDlgItemTextA(dialog, r.field, "");
        }
        SetDlgItemTextA(dialog, IDC_SESSIONS_HCOST, "");
        TypeText(GetDlgItem(dialog, IDC_SESSIONS_HCOST), "12x3456789012345");
        typed = WindowText(GetDlgItem(dialog, IDC_SESSIONS_HCOST));
        const char* texts[] = { "45", "2", "7", "20", "3", "250", "", "$ ", "C:\\log.csv", "" };
        for (int i = 0; i < 10; i++)
            SetDlgItemTextA(dialog, Fields[i], texts[i]);
        ClickButton(dialog, IDC_SESSIONS_OK);
    });
    EXPECT_EQ(1, RunDialog(IDD_GUEST_SESSIONS, GuestSessionsDialog, MainWindow));
    EXPECT_EQ("12345678901", typed) << "digits only, at most 11";
    EXPECT_EQ("1 45 2 7 20 3 '250' '' '$ ' 'C:\\log.csv' '' ", Stored());
}

// As the administrator: F3, the panel, Guest Sessions, paid sessions and new
// prices, OK; the panel's fields follow, and its own OK keeps those prices.
TEST(SessionsFromThePanel, ModeAndPricesSurviveThePanelsOk)
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
    EXPECT_EQ("2 60 5 10 15 2 '300' '120' ", Stored().substr(0, 27));
}

}  // namespace

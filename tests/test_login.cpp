// Login and password change: the stored password, the messages, the lowercase
// fields, the panel opened from a correct password, inert Escape.
#include "admin/Admin.h"
#include "app/App.h"
#include "core/Core.h"
#include "look/Look.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <cstring>
#include <vector>

namespace {

const char PanelTitle[] = "Halcyne 2.0 Options Panel";
const char SecurityTitle[] = "Security (F3)";

std::string Stored(const char* name) { return RegText("Software\\HX_", name); }

struct LoginFixture : ShellDialogTest {
    SavedValue password{HKEY_CURRENT_USER, "Software\\HX_", "Password"};
    SavedValue supplier{HKEY_CURRENT_USER, "Software\\HX_", "Supplier"};
    INT_PTR RunSecurity() { return RunDialog(IDD_SECURITY, SecurityDialog, NULL); }
    INT_PTR RunChange(BYTE administrator)
    {
        SetPasswordBeingChanged(administrator);
        return RunDialog(IDD_CHANGE_PASSWORD, ChangePasswordDialog, NULL);
    }
};

// Clicks the button and waits for the message box titled `caption` it opens.
void ClickAndAnswer(HWND dialog, int button, const char* caption, std::string* text)
{
    AnswerBox(caption, text);
    ClickButton(dialog, button);
    WaitFor([&] { return !text->empty(); });
}

void TypePassword(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, "");
    TypeText(GetDlgItem(dialog, id), text);
}

// In the change dialog: the new password and its confirmation typed, Change.
void ChangeTo(HWND dialog, const char* typed, const char* confirmed, const char* caption, std::string* text)
{
    TypePassword(dialog, IDC_PASSWORD_NEW, typed);
    TypePassword(dialog, IDC_PASSWORD_CONFIRM, confirmed);
    ClickAndAnswer(dialog, IDC_PASSWORD_CHANGE, caption, text);
}

TEST_F(LoginFixture, WrongPasswordIsRefusedRightOneOpensThePanel)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "secret");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Supplier", "supply");
    std::string refused, refusedSupplier, keptText;
    bool panelSeen = false;
    WhenShown(SecurityTitle, [&](HWND dialog) {
        TypePassword(dialog, IDC_SECURITY_PASSWORD, "wrong");
        ClickAndAnswer(dialog, IDC_SECURITY_OK, "Halcyne 2.08", &refused);
        keptText = WindowText(GetDlgItem(dialog, IDC_SECURITY_PASSWORD));
        // The supplier password is stored only; it opens nothing.
        TypePassword(dialog, IDC_SECURITY_PASSWORD, "supply");
        ClickAndAnswer(dialog, IDOK, "Halcyne 2.08", &refusedSupplier);
        TypePassword(dialog, IDC_SECURITY_PASSWORD, "secret");
        WhenShown(PanelTitle, [&](HWND panel) {
            panelSeen = true;
            EXPECT_FALSE(IsWindowVisible(dialog));
            ClickButton(panel, IDC_PANEL_CANCEL);
        });
        ClickButton(dialog, IDC_SECURITY_OK);
    });
    EXPECT_EQ(2, RunSecurity());
    EXPECT_EQ("Invalid Password !", refused);
    EXPECT_EQ("Invalid Password !", refusedSupplier);
    EXPECT_EQ("wrong", keptText);
    EXPECT_TRUE(panelSeen);
}

DWORD FakeNow;
DWORD WINAPI FakeClock() { return FakeNow; }

// Through the clock's seam, so nothing waits: the third wrong password in a
// row starts a 2 s wait, the fourth a 4 s one; tries during a wait are refused
// uncompared and uncounted, closing the dialog keeps the count, and the right
// password after the wait clears it.
TEST_F(LoginFixture, WrongTriesInARowMakeLaterTriesWaitClockSeam)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "secret");
    FakeNow = 0xFFFFF000;   // the tick count wraps during the waits
    SetLoginClock(FakeClock);
    // One Security dialog each: milliseconds on, then what is typed.
    const std::vector<std::vector<std::pair<DWORD, const char*>>> dialogs = {
        { { 0, "one" }, { 0, "two" }, { 0, "three" } },
        { { 1999, "secret" }, { 0, "waiting" }, { 1, "four" }, { 3999, "secret" }, { 1, "secret" } },
        { { 0, "five" }, { 0, "six" }, { 0, "secret" } },
    };
    std::vector<std::string> answers;
    for (const auto& tries : dialogs) {
        WhenShown(SecurityTitle, [&](HWND dialog) {
            for (const auto& attempt : tries) {
                FakeNow += attempt.first;
                TypePassword(dialog, IDC_SECURITY_PASSWORD, attempt.second);
                if (&attempt == &tries.back() && !strcmp(attempt.second, "secret")) {
                    WhenShown(PanelTitle, [&](HWND panel) {
                        answers.push_back("panel");
                        ClickButton(panel, IDC_PANEL_CANCEL);
                    });
                    ClickButton(dialog, IDC_SECURITY_OK);
                    return;
                }
                answers.emplace_back();
                ClickAndAnswer(dialog, IDC_SECURITY_OK, "Halcyne 2.08", &answers.back());
            }
            ClickButton(dialog, IDC_SECURITY_CANCEL);
        });
        RunSecurity();
    }
    SetLoginClock(NULL);
    std::vector<std::string> expected(11, "Invalid Password !");
    expected[7] = expected[10] = "panel";
    EXPECT_EQ(expected, answers);
    const DWORD schedule[] = { 0, 0, 0, 2000, 4000, 8000, 16000, 30000, 30000 };
    for (int wrong = 0; wrong < 9; wrong++)
        EXPECT_EQ(schedule[wrong], LoginDelayAfter(wrong)) << wrong << " wrong tries";
    EXPECT_EQ(30000u, LoginDelayAfter(100));
}

TEST_F(LoginFixture, FirstUseEmptyPasswordOpensAndLeavesTheValue)
{
    DeleteRegValue(HKEY_CURRENT_USER, "Software\\HX_", "Password");
    bool panelSeen = false;
    WhenShown(SecurityTitle, [&](HWND dialog) {
        WhenShown(PanelTitle, [&](HWND panel) {
            panelSeen = true;
            ClickButton(panel, IDC_PANEL_CANCEL);
        });
        ClickButton(dialog, IDC_SECURITY_OK);
    });
    EXPECT_EQ(2, RunSecurity());
    EXPECT_TRUE(panelSeen);
    EXPECT_EQ("", Stored("Password"));
}

TEST_F(LoginFixture, CapitalsArriveLowercaseEscapeIsInertCancelEnds)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "Secret");
    std::string typed, refused;
    bool openAfterEscape = false;
    WhenShown(SecurityTitle, [&](HWND dialog) {
        TypePassword(dialog, IDC_SECURITY_PASSWORD, "SeCrEt");
        typed = WindowText(GetDlgItem(dialog, IDC_SECURITY_PASSWORD));
        // A stored password with capitals cannot be typed.
        ClickAndAnswer(dialog, IDC_SECURITY_OK, "Halcyne 2.08", &refused);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        DrainQueue();
        openAfterEscape = IsWindowVisible(dialog) != 0;
        ClickButton(dialog, IDC_SECURITY_CANCEL);
    });
    EXPECT_EQ(1, RunSecurity());
    EXPECT_EQ("secret", typed);
    EXPECT_EQ("Invalid Password !", refused);
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(LoginFixture, LongStoredPasswordIsNeverMatched)
{
    std::string longPassword(100, 'a');
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", longPassword.c_str());
    std::string refused;
    WhenShown(SecurityTitle, [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SECURITY_PASSWORD, longPassword.c_str());
        ClickAndAnswer(dialog, IDC_SECURITY_OK, "Halcyne 2.08", &refused);
        ClickButton(dialog, IDC_SECURITY_CANCEL);
    });
    EXPECT_EQ(1, RunSecurity());
    EXPECT_EQ("Invalid Password !", refused);
}

TEST_F(LoginFixture, ChangeAdministratorPasswordMismatchThenMatch)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "old");
    std::string title, mismatch, done, afterMismatch;
    WhenShown("Change Administrator Password", [&](HWND dialog) {
        title = WindowText(dialog);
        // Byte by byte: a locale-aware compare would take these two for one.
        ChangeTo(dialog, "strasse", "stra\xdf" "e", "Error: Could not change password !", &mismatch);
        afterMismatch = Stored("Password");
        ChangeTo(dialog, "NewOne", "newone", "Done !", &done);
    });
    EXPECT_EQ(IDC_PASSWORD_CHANGE, RunChange(1));
    EXPECT_EQ("Change Administrator Password", title);
    EXPECT_EQ("Passwords don't match !", mismatch);
    EXPECT_EQ("old", afterMismatch);
    EXPECT_EQ("Password succesfully changed !", done);
    EXPECT_EQ("newone", Stored("Password"));
}

TEST_F(LoginFixture, EmptyNewPasswordIsStoredWhateverTheConfirmation)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "old");
    std::string done;
    WhenShown("Change Administrator Password", [&](HWND dialog) {
        ChangeTo(dialog, "", "anything", "Done !", &done);
    });
    EXPECT_EQ(IDC_PASSWORD_CHANGE, RunChange(1));
    EXPECT_EQ("Password succesfully changed !", done);
    EXPECT_EQ("", Stored("Password"));
}

TEST_F(LoginFixture, SupplierChangeStoresSupplierOnlyAndCancelStoresNothing)
{
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "admin");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Supplier", "before");
    std::string title, done;
    WhenShown("Change Supplier Password", [&](HWND dialog) {
        title = WindowText(dialog);
        ChangeTo(dialog, "seller", "seller", "Done !", &done);
    });
    EXPECT_EQ(IDC_PASSWORD_CHANGE, RunChange(0));
    EXPECT_EQ("Change Supplier Password", title);
    EXPECT_EQ("seller", Stored("Supplier"));
    EXPECT_EQ("admin", Stored("Password"));

    bool openAfterEscape = false;
    WhenShown("Change Supplier Password", [&](HWND dialog) {
        TypePassword(dialog, IDC_PASSWORD_NEW, "x");
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        DrainQueue();
        openAfterEscape = IsWindowVisible(dialog) != 0;
        ClickButton(dialog, IDC_PASSWORD_CANCEL);
    });
    EXPECT_EQ(IDC_PASSWORD_CANCEL, RunChange(0));
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ("seller", Stored("Supplier"));
}

// As a user would: F3 on the running shell, a wrong and a right password.
TEST(LoginShell, F3WrongThenRightPasswordOpensThePanel)
{
    SavedValue password(HKEY_CURRENT_USER, "Software\\HX_", "Password");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "letmein");
    DesktopShell run;
    ASSERT_TRUE(run.Start());
    PostKey(run.main, VK_F3);
    HWND security = run.shell.WaitForWindow("#32770", SecurityTitle);
    ASSERT_NE(nullptr, security);
    HWND field = GetDlgItem(security, IDC_SECURITY_PASSWORD);
    SendMessageA(field, WM_SETTEXT, 0, (LPARAM)"nope");
    PostButtonClick(security, IDC_SECURITY_OK);
    HWND box = run.shell.WaitForWindow("#32770", "Halcyne 2.08");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Invalid Password !", MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    SendMessageA(field, WM_SETTEXT, 0, (LPARAM)"letmein");
    PostButtonClick(security, IDC_SECURITY_OK);
    HWND panel = run.shell.WaitForWindow("#32770", PanelTitle);
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(run.main, GetWindow(panel, GW_OWNER));
    PostButtonClick(panel, IDC_PANEL_ADMIN_PASSWORD);
    HWND change = run.shell.WaitForWindow("#32770", "Change Administrator Password");
    ASSERT_NE(nullptr, change);
    PostButtonClick(change, IDC_PASSWORD_CANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(change); }));
    PostButtonClick(panel, IDC_PANEL_CANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(panel) && !IsWindow(security); }));
    EXPECT_TRUE(IsWindow(run.main));
}

}  // namespace

// As a guest would: three wrong passwords, each in a new Security dialog; the
// right one at once is refused, and accepted once the 2 s wait is over.
TEST(LoginShell, ThreeWrongPasswordsMakeTheRightOneWait)
{
    SavedValue password(HKEY_CURRENT_USER, "Software\\HX_", "Password");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "Password", "letmein");
    DesktopShell run;
    ASSERT_TRUE(run.Start());
    for (const char* wrong : { "one", "two" })
        ASSERT_EQ("Invalid Password !", TryLogin(run.shell, run.main, wrong));
    DWORD third = GetTickCount();
    ASSERT_EQ("Invalid Password !", TryLogin(run.shell, run.main, "three"));
    std::string atOnce = TryLogin(run.shell, run.main, "letmein");
    if (GetTickCount() - third < 2000)
        EXPECT_EQ("Invalid Password !", atOnce);
    else
        printf("the machine took longer than the wait: the refusal during it was not seen\n");
    EXPECT_TRUE(WaitFor([&] { return TryLogin(run.shell, run.main, "letmein") == "panel"; }, 10000));
    EXPECT_TRUE(IsWindow(run.main));
}

// The Security dialog that guards the Options Panel, and the password change.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "look/Look.h"
#include "res/resource.h"
#include "session/Session.h"

static BYTE ChangingAdminPassword;

BYTE GetPasswordBeingChanged() { return ChangingAdminPassword; }
void SetPasswordBeingChanged(BYTE administrator) { ChangingAdminPassword = administrator; }


// Byte for byte: a locale-aware compare can take "ss" for the sharp s.
static BOOL SameText(const char* one, const char* other)
{
    while (*one && *one == *other) {
        one++;
        other++;
    }
    return *one == *other;
}

// Wrong passwords in a row, for the whole run: closing the dialog forgets nothing.
static int WrongTries;
static DWORD WaitStart, WaitLength;
static TickCountProc LoginClock = GetTickCount;

void SetLoginClock(TickCountProc clock) { LoginClock = clock ? clock : GetTickCount; }

DWORD LoginDelayAfter(int wrongTries)
{
    if (wrongTries < 3)
        return 0;
    DWORD delay = 2000;
    for (int more = wrongTries - 3; more > 0 && delay < 30000; more--)
        delay *= 2;
    return delay < 30000 ? delay : 30000;
}

// Unsigned difference: the tick count wraps after 49 days.
static BOOL LoginWaiting()
{
    return WaitLength != 0 && LoginClock() - WaitStart < WaitLength;
}

static void CountWrongTry()
{
    if (WrongTries < 100)
        WrongTries++;
    WaitLength = LoginDelayAfter(WrongTries);
    WaitStart = LoginClock();
}

static BOOL PasswordMatches(HWND dialog)
{
    // Read into the store's full 256 bytes: a longer password placed there by
    // other means can then never match the 63 typed characters. A stored
    // password that cannot be read matches nothing, not even the empty one.
    char stored[256];
    BOOL readable = ReadStringChecked(stored, HKEY_CURRENT_USER, ProductKey, "Password", "");
    char typed[64];
    GetDlgItemTextA(dialog, IDC_SECURITY_PASSWORD, typed, sizeof typed);
    return readable && SameText(stored, typed);
}

static void SecurityOnOk(HWND dialog)
{
    // While a wait runs, a try is refused uncompared and uncounted: the same
    // answer as a wrong password, and no thread sleeps.
    BOOL waiting = LoginWaiting();
    if (waiting || !PasswordMatches(dialog)) {
        if (!waiting)
            CountWrongTry();
        MessageBoxA(NULL, "Invalid Password !", ProgramInfo.caption, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    WrongTries = 0;
    WaitLength = 0;
    EndDialog(dialog, 2);
    // The administrator gets the platform's keys back while the panel is open.
    SuspendGuard();
    PauseSessionClock();
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_OPTIONS_PANEL), MainWindow, OptionsPanel, 0);
    ResumeSessionClock();
    ResumeGuard();
}

INT_PTR CALLBACK SecurityDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = NULL;
    if (message == WM_COMMAND) {
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDC_SECURITY_OK: SecurityOnOk(dialog); return 0;
        case IDC_SECURITY_CANCEL: EndDialog(dialog, 1); return 0;
        }
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

static void ChangeOnInit(HWND dialog)
{
    SendMessageA(dialog, WM_SETTEXT, 0,
                 (LPARAM)(ChangingAdminPassword == 1 ? "Change Administrator Password"
                                                     : "Change Supplier Password"));
}

static void ChangeOnChange(HWND dialog)
{
    char password[64] = "";
    char confirmation[64];
    GetDlgItemTextA(dialog, IDC_PASSWORD_NEW, password, sizeof password);
    GetDlgItemTextA(dialog, IDC_PASSWORD_CONFIRM, confirmation, sizeof confirmation);
    if (password[0] != 0 && !SameText(password, confirmation)) {
        MessageBoxA(dialog, "Passwords don't match !", "Error: Could not change password !",
                    MB_ICONERROR);
        return;
    }
    WriteValue(HKEY_CURRENT_USER, ProductKey, ChangingAdminPassword == 1 ? "Password" : "Supplier",
               password, 0);
    MessageBoxA(dialog, "Password succesfully changed !", "Done !", MB_ICONINFORMATION);
    EndDialog(dialog, IDC_PASSWORD_CHANGE);
}

static void ChangeOnCancel(HWND dialog)
{
    EndDialog(dialog, IDC_PASSWORD_CANCEL);
}

INT_PTR CALLBACK ChangePasswordDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = NULL;
    switch (message) {
    case WM_INITDIALOG: ChangeOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PASSWORD_CHANGE: ChangeOnChange(dialog); return 0;
        case IDC_PASSWORD_CANCEL: ChangeOnCancel(dialog); return 0;
        }
        break;
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

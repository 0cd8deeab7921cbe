// Guest Sessions: the sessions' settings, today's figures from the log, and
// the administrator's end of the running session. Opening writes nothing;
// OK writes every setting, Cancel none.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "look/Look.h"
#include "res/resource.h"
#include "session/Session.h"

// The number settings, each a DWORD shown in a digits-only field.
struct SessionNumber {
    int control;
    const char* valueName;
    DWORD SessionSettings::*field;
    int digits;
};

static const SessionNumber SessionNumbers[] = {
    { IDC_SESSIONS_MINUTES, "SessionMinutes", &SessionSettings::sessionMinutes, 5 },
    { IDC_SESSIONS_WARN, "WarnMinutes", &SessionSettings::warnMinutes, 5 },
    { IDC_SESSIONS_IDLE, "IdleMinutes", &SessionSettings::idleMinutes, 5 },
    { IDC_SESSIONS_BILLING, "BillingMinutes", &SessionSettings::billingMinutes, 5 },
    { IDC_SESSIONS_DECIMALS, "CostDecimals", &SessionSettings::costDecimals, 1 },
};

// The prices go in as the panel's hidden fields hold them: digit strings.
struct SessionPriceField {
    int control;
    int panelControl;
    const char* valueName;
};

static const SessionPriceField SessionPrices[] = {
    { IDC_SESSIONS_HCOST, IDC_PANEL_HCOST, "Hcost" },
    { IDC_SESSIONS_HCOST2, IDC_PANEL_HCOST2, "Hcost2" },
};

// As the panel's own fields: a 12-character buffer, so at most 11 digits.
static const int PriceTextSize = 12;
static const int CurrencyLength = 15;

static const int ModeButtons[] = { IDC_SESSIONS_OFF, IDC_SESSIONS_FREE, IDC_SESSIONS_PAID };

static void ShowPrice(HWND dialog, int control, DWORD price)
{
    char text[16] = "";
    if (price != 0)
        wsprintfA(text, "%lu", (unsigned long)price);
    SetDlgItemTextA(dialog, control, text);
}

// Today's sessions, minutes and takings as the stored settings find them.
static void SessionsShowToday(HWND dialog)
{
    SessionSettings settings;
    ReadSessionSettings(&settings);
    SYSTEMTIME today;
    GetLocalTime(&today);
    SessionTotals totals;
    ZeroMemory(&totals, sizeof totals);
    SumSessionLog(settings.logPath, &today, settings.costDecimals, &totals);
    SetDlgItemInt(dialog, IDC_SESSIONS_COUNT, totals.sessions, FALSE);
    SetDlgItemInt(dialog, IDC_SESSIONS_USED, totals.minutes, FALSE);
    char amount[40];
    FormatAmount(totals.takings, settings.costDecimals, amount, sizeof amount);
    char shown[sizeof settings.currencyText + sizeof amount];
    lstrcpyA(shown, settings.currencyText);
    lstrcatA(shown, amount);
    SetDlgItemTextA(dialog, IDC_SESSIONS_TAKINGS, shown);
    EnableWindow(GetDlgItem(dialog, IDC_SESSIONS_END), SessionRunning());
}

static void SessionsOnInit(HWND dialog)
{
    SessionSettings settings;
    ReadSessionSettings(&settings);
    CheckRadioButton(dialog, IDC_SESSIONS_OFF, IDC_SESSIONS_PAID, ModeButtons[settings.mode]);
    for (const SessionNumber& number : SessionNumbers) {
        SendDlgItemMessageA(dialog, number.control, EM_LIMITTEXT, number.digits, 0);
        SetDlgItemInt(dialog, number.control, settings.*number.field, FALSE);
    }
    SendDlgItemMessageA(dialog, IDC_SESSIONS_HCOST, EM_LIMITTEXT, PriceTextSize - 1, 0);
    SendDlgItemMessageA(dialog, IDC_SESSIONS_HCOST2, EM_LIMITTEXT, PriceTextSize - 1, 0);
    ShowPrice(dialog, IDC_SESSIONS_HCOST, settings.firstHourPrice);
    ShowPrice(dialog, IDC_SESSIONS_HCOST2, settings.laterHourPrice);
    SendDlgItemMessageA(dialog, IDC_SESSIONS_CURRENCY, EM_LIMITTEXT, CurrencyLength, 0);
    SetDlgItemTextA(dialog, IDC_SESSIONS_CURRENCY, settings.currencyText);
    // A few characters more than the store holds, so that a path too long
    // meets the store's refusal instead of being cut short while typed.
    SendDlgItemMessageA(dialog, IDC_SESSIONS_LOG, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SetDlgItemTextA(dialog, IDC_SESSIONS_LOG, settings.logPath);
    SendDlgItemMessageA(dialog, IDC_SESSIONS_CLEANUP, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SetDlgItemTextA(dialog, IDC_SESSIONS_CLEANUP, settings.cleanupCommand);
    SessionsShowToday(dialog);
}

static void SessionsOnEnd(HWND dialog)
{
    EndGuestSession(END_ADMINISTRATOR);
    SessionsShowToday(dialog);
}

// A price that the sessions would read as no price (over 32 bits, or not
// digits) would bill nothing: it is refused.
static BOOL PriceFits(const char* text)
{
    ULONGLONG price = 0;
    for (; *text; text++) {
        if (*text < '0' || *text > '9')
            return FALSE;
        price = price * 10 + (ULONGLONG)(*text - '0');
        if (price > 0xFFFFFFFFull)
            return FALSE;
    }
    return TRUE;
}

// The longer of the two goes first: when it fits, both do, and when it does
// not, the store refuses it before anything at all is written.
static BOOL StoreSessionPaths(HWND dialog, const char* logPath, const char* cleanupCommand)
{
    BOOL logFirst = lstrlenA(logPath) >= lstrlenA(cleanupCommand);
    const char* firstName = logFirst ? "SessionLog" : "SessionCleanup";
    const char* secondName = logFirst ? "SessionCleanup" : "SessionLog";
    return StorePath(dialog, HKEY_CURRENT_USER, ProductKey, firstName, logFirst ? logPath : cleanupCommand)
        && StorePath(dialog, HKEY_CURRENT_USER, ProductKey, secondName, logFirst ? cleanupCommand : logPath);
}

static DWORD ChosenMode(HWND dialog)
{
    for (DWORD mode = 0; mode < 3; mode++)
        if (IsDlgButtonChecked(dialog, ModeButtons[mode]) == BST_CHECKED)
            return mode;
    return SESSION_OFF;
}

static void SessionsOnOk(HWND dialog)
{
    char prices[2][PriceTextSize];
    for (int i = 0; i < 2; i++) {
        GetDlgItemTextA(dialog, SessionPrices[i].control, prices[i], PriceTextSize);
        if (!PriceFits(prices[i])) {
            MessageBoxA(dialog, "A price must be a whole number of at most 4294967295 !", ProgramInfo.caption,
                        MB_OK | MB_ICONWARNING);
            return;
        }
    }
    // Read a little past what the store holds, so that a longer text is refused whole.
    char logPath[MAX_PATH + 1], cleanupCommand[MAX_PATH + 1];
    GetDlgItemTextA(dialog, IDC_SESSIONS_LOG, logPath, sizeof logPath);
    GetDlgItemTextA(dialog, IDC_SESSIONS_CLEANUP, cleanupCommand, sizeof cleanupCommand);
    if (!StoreSessionPaths(dialog, logPath, cleanupCommand))
        return;
    WriteValue(HKEY_CURRENT_USER, ProductKey, "SessionMode", NULL, ChosenMode(dialog));
    for (const SessionNumber& number : SessionNumbers)
        WriteValue(HKEY_CURRENT_USER, ProductKey, number.valueName, NULL,
                   GetDlgItemInt(dialog, number.control, NULL, FALSE));
    char currency[CurrencyLength + 1];
    GetDlgItemTextA(dialog, IDC_SESSIONS_CURRENCY, currency, sizeof currency);
    WriteValue(HKEY_CURRENT_USER, ProductKey, "CurrencyText", currency, 0);
    for (int i = 0; i < 2; i++) {
        WriteValue(HKEY_CURRENT_USER, ProductKey, SessionPrices[i].valueName, prices[i], 0);
        // The panel's OK writes its own fields again: they must hold the new prices.
        if (OptionsPanelWindow && IsWindow(OptionsPanelWindow))
            SetDlgItemTextA(OptionsPanelWindow, SessionPrices[i].panelControl, prices[i]);
    }
    SessionSettingsChanged();
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK GuestSessionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = "Guest Sessions";
    switch (message) {
    case WM_INITDIALOG: SessionsOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SESSIONS_END:    SessionsOnEnd(dialog); return 0;
        case IDC_SESSIONS_OK:     SessionsOnOk(dialog); return 0;
        case IDC_SESSIONS_CANCEL: EndDialog(dialog, 2); return 0;
        }
        break;                    // IDCANCEL falls to the look: Escape leaves it open
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

// The tip of the day: eight tips from the string table, stepped through in a
// modeless dialog that remembers whether it is wanted at start-up.
#include "look/Look.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "res/resource.h"

static BYTE TipIndex = IDS_TIP_FIRST;

BYTE GetTipIndex() { return TipIndex; }
void SetTipIndex(BYTE index) { TipIndex = index; }

static void ShowTip(HWND dialog)
{
    char tip[1024];
    tip[0] = 0;
    LoadStringA(AppInstance, TipIndex, tip, sizeof tip);
    SendDlgItemMessageA(dialog, IDC_TIP_TEXT, WM_SETTEXT, 0, (LPARAM)tip);
}

static void TipOnInit(HWND dialog)
{
    // Only exactly 1 keeps the tip away at start-up, so only 1 checks the box.
    DWORD hidden = ReadDwordWithDefault(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 0);
    SendDlgItemMessageA(dialog, IDC_TIP_NO_STARTUP, BM_SETCHECK, hidden == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    // The dialog owns this bitmap until its OK.
    HBITMAP bulb = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_TIP_BULB));
    SendDlgItemMessageA(dialog, IDC_TIP_BULB, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bulb);
    ShowTip(dialog);
}

static void TipShowNext(HWND dialog)
{
    TipIndex = TipIndex >= IDS_TIP_LAST ? IDS_TIP_FIRST : (BYTE)(TipIndex + 1);
    ShowTip(dialog);
}

static void TipSaveAndClose(HWND dialog)
{
    DWORD hidden = IsDlgButtonChecked(dialog, IDC_TIP_NO_STARTUP) == BST_CHECKED ? 1 : 0;
    WriteValue(HKEY_CURRENT_USER, ProductKey, "ShowTTS", NULL, hidden);
    HBITMAP bulb = (HBITMAP)SendDlgItemMessageA(dialog, IDC_TIP_BULB, STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (bulb)
        DeleteObject(bulb);
    // Modeless: destroyed, not ended, or every tip would linger as a hidden window.
    DestroyWindow(dialog);
}

static INT_PTR CALLBACK TipProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = NULL;
    switch (message) {
    case WM_INITDIALOG: TipOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TIP_NEXT: TipShowNext(dialog); return 0;
        case IDOK:         TipSaveAndClose(dialog); return 0;
        }
        break;              // IDCANCEL falls to the look: the tip stays open
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

HWND OpenTipOfTheDay()
{
    // The template is visible: no ShowWindow needed.
    return CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_TIP), MainWindow, TipProc, 0);
}

void ShowTipAtStartup()
{
    if (ReadDwordWithDefault(HKEY_CURRENT_USER, ProductKey, "ShowTTS", 0) == 1)
        return;
    OpenTipOfTheDay();
}

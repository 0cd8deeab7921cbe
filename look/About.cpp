// The About box: the product caption as heading, credit and contact lines.
#include "look/Look.h"
#include "core/Shared.h"
#include "res/resource.h"

static void AboutOnInit(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_ABOUT_CREDIT1, "Designed and written by the Tavix Software team");
    SetDlgItemTextA(dialog, IDC_ABOUT_CREDIT2, "A locked-down desktop for guest computers");
    SetDlgItemTextA(dialog, IDC_ABOUT_CREDIT3, "Copyright (C) Tavix Software. All rights reserved.");
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = ProgramInfo.caption;
    switch (message) {
    case WM_INITDIALOG: AboutOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_OK: EndDialog(dialog, 1); return 0;
        }
        break;              // IDCANCEL falls to the look: Escape leaves the box open
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

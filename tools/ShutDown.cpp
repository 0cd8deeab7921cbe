// The Shut Down dialog: turn off, restart or stand by, over a desktop
// emptied to black while it is open.
#include "tools/Tools.h"
#include "core/Shared.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "res/resource.h"

static ExitWindowsCall ShutDownExitWindows = ExitWindowsEx;
static PowerStateCall ShutDownSetPowerState = SetSystemPowerState;

void SetShutDownCalls(ExitWindowsCall exitWindows, PowerStateCall setPowerState)
{
    ShutDownExitWindows = exitWindows;
    ShutDownSetPowerState = setPowerState;
}

static void EnableShutdownPrivilege()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, NULL, NULL);
    CloseHandle(token);
}

static BOOL Chosen(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

static void ShutDownOnInit(HWND dialog)
{
    if (WindowsVersion >= 500)
        EnableShutdownPrivilege();
    SendDlgItemMessageA(dialog, IDC_SHUTDOWN_SHUT_DOWN, BM_SETCHECK, BST_CHECKED, 0);
    BlankDesktop();
}

// Each choice is tested on its own. After a shut-down or restart request the
// dialog stays: if Windows does not go down the user leaves with "Cancel".
static void ShutDownOnOk(HWND dialog)
{
    if (Chosen(dialog, IDC_SHUTDOWN_RESTART))
        ShutDownExitWindows(EWX_REBOOT, 0);
    if (Chosen(dialog, IDC_SHUTDOWN_SHUT_DOWN))
        ShutDownExitWindows(EWX_SHUTDOWN, 0);
    if (Chosen(dialog, IDC_SHUTDOWN_STAND_BY)) {
        ShutDownSetPowerState(TRUE, TRUE);
        RefreshDesktop(false);
        EndDialog(dialog, 0);
    }
}

static void ShutDownOnCancel(HWND dialog)
{
    RefreshDesktop(false);
    EndDialog(dialog, 0);
}

INT_PTR CALLBACK ShutDownProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = NULL;
    switch (message) {
    case WM_INITDIALOG: ShutDownOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SHUTDOWN_OK:     ShutDownOnOk(dialog); return 0;
        case IDC_SHUTDOWN_CANCEL: ShutDownOnCancel(dialog); return 0;
        }
        break;                    // "Help" and Escape change nothing
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

// The administrator's Options Panel: the machine's lock-down switches.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "media/Media.h"
#include "res/resource.h"
#include "session/Session.h"
#include "tools/Tools.h"
#include <shellapi.h>

HWND OptionsPanelWindow;

static const char ControlPanelDesktop[] = "Control Panel\\Desktop";
static const char WallpaperKey[] = "Control Panel\\Desktop\\";

// The switches as the panel reads them at the top of every command.
struct PanelSwitches {
    BOOL bootShell, dosSecurity, browserDisabled, conservativeSwap, dragFullWindows;
};

static void Tick(HWND panel, int control, WPARAM state)
{
    SendDlgItemMessageA(panel, control, BM_SETCHECK, state, 0);
}

static BOOL Ticked(HWND panel, int control)
{
    return IsDlgButtonChecked(panel, control) == BST_CHECKED;
}

// The value of the leading decimal digits of a text, 0 when there are none.
static int LeadingNumber(const char* text)
{
    int number = 0;
    while (*text >= '0' && *text <= '9' && number < 100000000)
        number = number * 10 + (*text++ - '0');
    return number;
}

// Only 2000 and XP have the Task Manager on Ctrl+Alt+Del; the administrator
// sees whether the guests get it.
static void ShowTaskManagerWarning(HWND panel)
{
    BOOL open = WindowsVersion >= 500 && !TaskManagerDisabled();
    ShowWindow(GetDlgItem(panel, IDC_PANEL_TASK_MANAGER_WARNING), open ? SW_SHOWNA : SW_HIDE);
}

static LRESULT PanelOnCtlColorStatic(HWND panel, HDC dc, HWND control)
{
    LRESULT brush = HandleDialogLook(&DialogLook, panel, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
    if (GetDlgCtrlID(control) == IDC_PANEL_TASK_MANAGER_WARNING)
        SetTextColor(dc, RGB(192, 0, 0));
    return brush;
}

static void PanelOnInit(HWND panel)
{
    ShowTaskManagerWarning(panel);
    char text[256];
    ReadBootShell(text);
    if (lstrcmpiA(text, "explorer.exe") != 0)
        Tick(panel, IDC_PANEL_BOOT, BST_CHECKED);
    ReadStringWithDefault(text, HKEY_CURRENT_USER, WallpaperKey, "WallPaper", "");
    SetDlgItemTextA(panel, IDC_PANEL_WALLPAPER, text);
    ReadIniString(text, MsDosSysPath, "Options", "BootKeys");
    if (lstrcmpA(text, "0") == 0)
        Tick(panel, IDC_PANEL_DOS, BST_CHECKED);
    if (FileExists(BrowserDisabledPath))
        Tick(panel, IDC_PANEL_BROWSER, BST_CHECKED);
    char path[MAX_PATH];
    SystemIniFile(path);
    lstrcpyA(text, "ERROR");
    if (path[0])
        ReadIniString(text, path, "386Enh", "ConservativeSwapFileUsage");
    if (lstrcmpA(text, "1") == 0)
        Tick(panel, IDC_PANEL_SWAP, BST_CHECKED);
    ReadString(text, HKEY_CURRENT_USER, ControlPanelDesktop, "DragFullWindows");
    Tick(panel, IDC_PANEL_DRAG_FULL, (WPARAM)LeadingNumber(text));
    Tick(panel, IDC_PANEL_FREE_MEMORY, ReadDword(HKEY_CURRENT_USER, ProductKey, "FreeMemAtStartup"));
    ReadString(text, HKEY_CURRENT_USER, ProductKey, "Hcost");
    SendDlgItemMessageA(panel, IDC_PANEL_HCOST, WM_SETTEXT, 0, (LPARAM)text);
    ReadString(text, HKEY_CURRENT_USER, ProductKey, "Hcost2");
    SendDlgItemMessageA(panel, IDC_PANEL_HCOST2, WM_SETTEXT, 0, (LPARAM)text);
    DWORD video = ReadDword(HKEY_CURRENT_USER, ProductKey, "Video");
    if (video == 800)
        Tick(panel, IDC_PANEL_800, BST_CHECKED);
    else if (video == 1024)
        Tick(panel, IDC_PANEL_1024, BST_CHECKED);
}

// The boot shell entry for this executable: its short path, or the long one
// when no short form fits.
static void ShortExecutablePath(char* path)
{
    GetModuleFileNameA(NULL, path, MAX_PATH);
    path[MAX_PATH - 1] = 0;
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        lstrcpynA(path, shortPath, MAX_PATH);
}

static void StoreCost(HWND panel, int control, const char* valueName)
{
    char text[12];
    GetDlgItemTextA(panel, control, text, sizeof text);
    WriteValue(HKEY_CURRENT_USER, ProductKey, valueName, text, 0);
}

static void PanelOnOk(HWND panel, const PanelSwitches* switches)
{
    if (switches->bootShell) {
        char path[MAX_PATH];
        ShortExecutablePath(path);
        WriteBootShell(path);
    } else {
        WriteBootShell("explorer.exe");
    }
    WriteDosSecurity(panel, switches->dosSecurity);
    if (switches->browserDisabled)
        DisableBrowser();
    else
        EnableBrowser();
    if (switches->conservativeSwap)
        SetConservativeSwap();
    else
        ClearConservativeSwap();
    WriteValue(HKEY_CURRENT_USER, ControlPanelDesktop, "DragFullWindows",
               switches->dragFullWindows ? "1" : "0", 0);
    WriteValue(HKEY_CURRENT_USER, ProductKey, "FreeMemAtStartup", NULL,
               Ticked(panel, IDC_PANEL_FREE_MEMORY) ? 1 : 0);
    FreeMemOnLaunch = ReadDword(HKEY_CURRENT_USER, ProductKey, "FreeMemAtStartup") != 0 ? 1 : 0;
    StoreCost(panel, IDC_PANEL_HCOST, "Hcost");
    StoreCost(panel, IDC_PANEL_HCOST2, "Hcost2");
    // What the Desktop holds now is the administrator's: no reset deletes it.
    TakeDesktopBaseline();
    EndDialog(panel, 1);
}

static void PanelOnQuit(HWND panel)
{
    EndDialog(panel, 1);
    StopAndClose(&MovieMedia);
    // The user's keys and shortcuts are back before Windows' shell returns.
    ReleaseGuard();
    QuitToWindows();
}

static void PanelOnControlPanel(HWND panel)
{
    if (ShellUnloaded)
        StartWindowsShell();
    OpenControlPanel(panel);
}

static void PanelOnChangeDisplay()
{
    ApplyVideoSetting();
    RefreshDesktop(false);
}

// The two size buttons are check boxes that act as a radio pair.
static void PanelOnScreenSize(HWND panel, int chosen, int other, DWORD width)
{
    Tick(panel, chosen, BST_CHECKED);
    WriteValue(HKEY_CURRENT_USER, ProductKey, "Video", NULL, width);
    Tick(panel, other, BST_UNCHECKED);
}

static INT_PTR CALLBACK TimeIntervalsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 1);
        return 0;
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

// The tools are owned by the main window; the panel's caption shows active
// again once they close.
static void OpenToolDialog(int templateId, DLGPROC procedure)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(templateId), MainWindow, procedure, 0);
    RepaintActiveCaption(OptionsPanelWindow, &DialogLook);
}

static void OpenPasswordChange(BYTE administrator)
{
    SetPasswordBeingChanged(administrator);
    OpenToolDialog(IDD_CHANGE_PASSWORD, ChangePasswordDialog);
}

// Returns -1 for commands the panel leaves to the dialog look.
static INT_PTR PanelOnCommand(HWND panel, int control)
{
    PanelSwitches switches;
    switches.bootShell = Ticked(panel, IDC_PANEL_BOOT);
    switches.dosSecurity = Ticked(panel, IDC_PANEL_DOS);
    switches.browserDisabled = Ticked(panel, IDC_PANEL_BROWSER);
    switches.conservativeSwap = Ticked(panel, IDC_PANEL_SWAP);
    switches.dragFullWindows = Ticked(panel, IDC_PANEL_DRAG_FULL);
    switch (control) {
    case IDC_PANEL_CHOOSE_WALLPAPER: ChooseWallpaper(panel); return 0;
    case IDC_PANEL_QUIT: PanelOnQuit(panel); return 0;
    case IDC_PANEL_OK: PanelOnOk(panel, &switches); return 0;
    case IDC_PANEL_CANCEL: EndDialog(panel, 2); return 0;
    case IDC_PANEL_TASK_MANAGER: OpenToolDialog(IDD_TASK_MANAGER, TaskManagerProc); return 0;
    case IDC_PANEL_MEMORY_STATUS: OpenToolDialog(IDD_MEMORY_MANAGER, MemoryManagerProc); return 0;
    case IDC_PANEL_ADMIN_PASSWORD: OpenPasswordChange(1); return 0;
    case IDC_PANEL_SUPPLIER_PASSWORD: OpenPasswordChange(0); return 0;
    case IDC_PANEL_TIME_INTERVALS: OpenToolDialog(IDD_TIME_INTERVALS, TimeIntervalsDialog); return 0;
    case IDC_PANEL_ADVANCED: OpenToolDialog(IDD_ADVANCED_OPTIONS, AdvancedOptionsDialog); return 0;
    case IDC_PANEL_GUEST:
        OpenToolDialog(IDD_GUEST_RESTRICTIONS, GuestRestrictionsDialog);
        ShowTaskManagerWarning(panel);
        return 0;
    case IDC_PANEL_SESSIONS: OpenToolDialog(IDD_GUEST_SESSIONS, GuestSessionsDialog); return 0;
    case IDC_PANEL_CONTROL_PANEL: PanelOnControlPanel(panel); return 0;
    case IDC_PANEL_CHANGE_DISPLAY: PanelOnChangeDisplay(); return 0;
    case IDC_PANEL_800: PanelOnScreenSize(panel, IDC_PANEL_800, IDC_PANEL_1024, 800); return 0;
    case IDC_PANEL_1024: PanelOnScreenSize(panel, IDC_PANEL_1024, IDC_PANEL_800, 1024); return 0;
    }
    return -1;
}

INT_PTR CALLBACK OptionsPanel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    OptionsPanelWindow = panel;
    DialogLook.HeadingText = NULL;
    DialogLook.OwnerDrawButtons = 1;
    switch (message) {
    case WM_INITDIALOG: PanelOnInit(panel); return 0;
    case WM_CTLCOLORSTATIC: return PanelOnCtlColorStatic(panel, (HDC)wParam, (HWND)lParam);
    case WM_COMMAND: {
        INT_PTR result = PanelOnCommand(panel, LOWORD(wParam));
        if (result != -1)
            return result;
        break;
    }
    }
    return HandleDialogLook(&DialogLook, panel, message, wParam, lParam);
}

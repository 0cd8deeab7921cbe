// The guard: while the shell runs, the platform's own ways out of it are
// closed (the Windows keys and the task-switching keys, the accessibility
// shortcuts, on 95/98/ME Ctrl+Alt+Del); while an administrator dialog is open,
// and once the shell ends, everything is as the user had it.
#include "core/Core.h"

static GuardCalls GuardPlatform = { SystemParametersInfoA, SetWindowsHookExA, UnhookWindowsHookEx, GetVersion };

GuardCalls* GetGuardCalls() { return &GuardPlatform; }

enum { GUARD_IDLE, GUARD_ENGAGED, GUARD_RELEASED };
static int GuardState = GUARD_IDLE;
static int GuardSuspendCount;
static HHOOK GuardHook;
static BOOL GuardOn9x;
static BOOL FlagsSaved;
static BOOL ScreenSaverSwitched;
static STICKYKEYS SavedStickyKeys;
static FILTERKEYS SavedFilterKeys;
static TOGGLEKEYS SavedToggleKeys;

// As the hook saw them, which may be ahead of the key state; some platforms
// leave the Alt flag off injected keys.
static BOOL ControlHeld;
static BOOL AltHeld;

static BOOL KeyIsWayOut(const KBDLLHOOKSTRUCT* key)
{
    if (key->vkCode == VK_LCONTROL || key->vkCode == VK_RCONTROL || key->vkCode == VK_CONTROL)
        ControlHeld = !(key->flags & LLKHF_UP);
    if (key->vkCode == VK_LMENU || key->vkCode == VK_RMENU || key->vkCode == VK_MENU)
        AltHeld = !(key->flags & LLKHF_UP);
    if (key->vkCode == VK_LWIN || key->vkCode == VK_RWIN)
        return TRUE;
    if (key->vkCode != VK_ESCAPE)
        return FALSE;
    // Ctrl+Esc, Ctrl+Shift+Esc and Alt+Esc; Escape alone still closes what it closes.
    return (key->flags & LLKHF_ALTDOWN) || AltHeld || ControlHeld
        || (GetAsyncKeyState(VK_CONTROL) & 0x8000);
}

static LRESULT CALLBACK GuardKeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Every key is looked at, so that Ctrl is followed while the guard is suspended too.
    if (code == HC_ACTION && KeyIsWayOut((const KBDLLHOOKSTRUCT*)lParam) && GuardSuspendCount == 0)
        return 1;
    return CallNextHookEx(GuardHook, code, wParam, lParam);
}

// The shortcut and its confirmation go; whether the feature itself is on stays
// the user's choice. Nothing is written to the user's profile, so a shell that
// dies leaves the saved settings as they were.
static void SwitchOffShortcuts()
{
    STICKYKEYS sticky = { sizeof sticky, 0 };
    FILTERKEYS filter = { sizeof filter, 0, 0, 0, 0, 0 };
    TOGGLEKEYS toggle = { sizeof toggle, 0 };
    FlagsSaved = GuardPlatform.systemParametersInfo(SPI_GETSTICKYKEYS, sizeof sticky, &sticky, 0)
              && GuardPlatform.systemParametersInfo(SPI_GETFILTERKEYS, sizeof filter, &filter, 0)
              && GuardPlatform.systemParametersInfo(SPI_GETTOGGLEKEYS, sizeof toggle, &toggle, 0);
    if (!FlagsSaved)
        return;
    SavedStickyKeys = sticky;
    SavedFilterKeys = filter;
    SavedToggleKeys = toggle;
    sticky.dwFlags &= ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
    filter.dwFlags &= ~(FKF_HOTKEYACTIVE | FKF_CONFIRMHOTKEY);
    toggle.dwFlags &= ~(TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY);
    // The platform may refuse (some keep no such flags): the shell carries on.
    GuardPlatform.systemParametersInfo(SPI_SETSTICKYKEYS, sizeof sticky, &sticky, 0);
    GuardPlatform.systemParametersInfo(SPI_SETFILTERKEYS, sizeof filter, &filter, 0);
    GuardPlatform.systemParametersInfo(SPI_SETTOGGLEKEYS, sizeof toggle, &toggle, 0);
}

static void PutBackShortcuts()
{
    if (!FlagsSaved)
        return;
    FlagsSaved = FALSE;
    GuardPlatform.systemParametersInfo(SPI_SETSTICKYKEYS, sizeof SavedStickyKeys, &SavedStickyKeys, 0);
    GuardPlatform.systemParametersInfo(SPI_SETFILTERKEYS, sizeof SavedFilterKeys, &SavedFilterKeys, 0);
    GuardPlatform.systemParametersInfo(SPI_SETTOGGLEKEYS, sizeof SavedToggleKeys, &SavedToggleKeys, 0);
}

// On 95/98/ME a running screen saver makes Ctrl+Alt+Del, Alt+Tab and Ctrl+Esc inert.
static void SetScreenSaverRunning(BOOL running)
{
    if (!GuardOn9x || ScreenSaverSwitched == running)
        return;
    BOOL previous = FALSE;
    if (GuardPlatform.systemParametersInfo(SPI_SETSCREENSAVERRUNNING, running, &previous, 0) || !running)
        ScreenSaverSwitched = running;
}

static void CloseWaysOut()
{
    SwitchOffShortcuts();
    SetScreenSaverRunning(TRUE);
}

static void OpenWaysOut()
{
    SetScreenSaverRunning(FALSE);
    PutBackShortcuts();
}

void EngageGuard(HINSTANCE instance)
{
    if (GuardState != GUARD_IDLE)
        return;
    GuardState = GUARD_ENGAGED;
    GuardSuspendCount = 0;
    GuardOn9x = (GuardPlatform.getVersion() & 0x80000000) != 0;
    // Only the NT family has low-level hooks (from NT 4 SP3); elsewhere the call fails.
    if (!GuardOn9x)
        GuardHook = GuardPlatform.setWindowsHookEx(WH_KEYBOARD_LL, GuardKeyboardProc, instance, 0);
    CloseWaysOut();
}

void ReleaseGuard()
{
    if (GuardState != GUARD_ENGAGED)
        return;
    GuardState = GUARD_RELEASED;
    if (GuardHook)
        GuardPlatform.unhookWindowsHookEx(GuardHook);
    GuardHook = NULL;
    OpenWaysOut();
}

void SuspendGuard()
{
    if (GuardSuspendCount++ == 0 && GuardState == GUARD_ENGAGED)
        OpenWaysOut();
}

void ResumeGuard()
{
    if (GuardSuspendCount > 0 && --GuardSuspendCount == 0 && GuardState == GUARD_ENGAGED)
        CloseWaysOut();
}

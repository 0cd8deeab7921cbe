// The guard: while the shell runs, the platform's own ways out of it are
// closed (the Windows keys and the task-switching keys, the accessibility
// shortcuts, on 95/98/ME Ctrl+Alt+Del); while an administrator dialog is open,
// and once the shell ends, everything is as the user had it.
#include "core/Core.h"

static GuardCalls GuardPlatform = { SystemParametersInfoA, SetWindowsHookExA, UnhookWindowsHookEx, GetVersion };

GuardCalls* GetGuardCalls() { return &GuardPlatform; }

enum { GUARD_IDLE, GUARD_ENGAGED, GUARD_RELEASED };
static int GuardState = GUARD_IDLE;
// Only the interface thread changes it; the hook's thread reads it.
static volatile LONG GuardSuspendCount;
static HINSTANCE GuardInstance;
static BOOL GuardOn9x;
static BOOL ScreenSaverSwitched;

// The keyboard hook lives on a thread that does nothing else, so that a busy
// interface thread never makes the platform give up on it and let a key pass.
static HANDLE HookThread;
static DWORD HookThreadId;
static HANDLE HookThreadReady;
// How often the hook is set afresh (milliseconds).
enum { HookRenewal = 1000 };

// Of the hook's thread only.
static HHOOK GuardHook;
// As the hook saw them, which may be ahead of the key state; some platforms
// leave the Alt flag off injected keys.
static BOOL ControlHeld;
static BOOL AltHeld;

// The accessibility features whose shortcut (and the confirmation that leads
// into the Control Panel) a guest could press.
struct AccessShortcut {
    UINT getAction, setAction, size;
    DWORD hotKeyFlags;
};
static const AccessShortcut AccessShortcuts[] = {
    { SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY },
    { SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, sizeof(FILTERKEYS), FKF_HOTKEYACTIVE | FKF_CONFIRMHOTKEY },
    { SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, sizeof(TOGGLEKEYS), TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY },
    { SPI_GETHIGHCONTRAST, SPI_SETHIGHCONTRAST, sizeof(HIGHCONTRASTA), HCF_HOTKEYACTIVE | HCF_CONFIRMHOTKEY },
    { SPI_GETMOUSEKEYS, SPI_SETMOUSEKEYS, sizeof(MOUSEKEYS), MKF_HOTKEYACTIVE | MKF_CONFIRMHOTKEY },
};
enum { AccessShortcutCount = sizeof AccessShortcuts / sizeof AccessShortcuts[0] };

// Every feature's record begins with its size and its flags.
union AccessSettings {
    STICKYKEYS sticky;
    FILTERKEYS filter;
    TOGGLEKEYS toggle;
    HIGHCONTRASTA contrast;
    MOUSEKEYS mouse;
};
static AccessSettings SavedAccess[AccessShortcutCount];
static BOOL AccessSwitched[AccessShortcutCount];
// The platform lends the high-contrast scheme's name only until its next call.
static char SavedScheme[128];

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

// A hook that the platform has dropped (later versions drop one that answered
// too slowly) gives no sign of it: so a fresh hook is set every period before
// the old one goes, and one that could not be set is tried again. Where the
// platform has no low-level hooks (95/98/ME) every try simply fails.
static void RenewGuardHook()
{
    HHOOK fresh = GuardPlatform.setWindowsHookEx(WH_KEYBOARD_LL, GuardKeyboardProc, GuardInstance, 0);
    if (!fresh)
        return;
    if (GuardHook)
        GuardPlatform.unhookWindowsHookEx(GuardHook);
    GuardHook = fresh;
}

static DWORD WINAPI GuardHookThread(LPVOID)
{
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);   // the queue exists before anyone posts to it
    RenewGuardHook();
    SetEvent(HookThreadReady);
    UINT_PTR timer = SetTimer(NULL, 0, HookRenewal, NULL);
    // The hook is called from inside GetMessageA.
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER)
            RenewGuardHook();
    }
    KillTimer(NULL, timer);
    if (GuardHook)
        GuardPlatform.unhookWindowsHookEx(GuardHook);
    GuardHook = NULL;
    return 0;
}

// The keys are guarded from the first moment: the first try is waited for.
static void StartHookThread()
{
    HookThreadReady = CreateEventA(NULL, TRUE, FALSE, NULL);
    HookThread = CreateThread(NULL, 0, GuardHookThread, NULL, 0, &HookThreadId);
    if (HookThread && HookThreadReady)
        WaitForSingleObject(HookThreadReady, 5000);
}

static void StopHookThread()
{
    if (HookThread) {
        PostThreadMessageA(HookThreadId, WM_QUIT, 0, 0);
        WaitForSingleObject(HookThread, 5000);
        CloseHandle(HookThread);
    }
    if (HookThreadReady)
        CloseHandle(HookThreadReady);
    HookThread = HookThreadReady = NULL;
}

static void KeepSchemeName(HIGHCONTRASTA* contrast)
{
    if (!contrast->lpszDefaultScheme)
        return;
    lstrcpynA(SavedScheme, contrast->lpszDefaultScheme, sizeof SavedScheme);
    contrast->lpszDefaultScheme = SavedScheme;
}

// The shortcut and its confirmation go; whether the feature itself is on stays
// the user's choice. Nothing is written to the user's profile, so a shell that
// dies leaves the saved settings as they were. The platform may refuse (some
// keep no such flags): the shell carries on, with nothing to give back.
static void SwitchOffShortcuts()
{
    for (int i = 0; i < AccessShortcutCount; i++) {
        const AccessShortcut* shortcut = &AccessShortcuts[i];
        AccessSettings settings;
        ZeroMemory(&settings, sizeof settings);
        settings.sticky.cbSize = shortcut->size;
        if (!GuardPlatform.systemParametersInfo(shortcut->getAction, shortcut->size, &settings, 0)
            || !(settings.sticky.dwFlags & shortcut->hotKeyFlags))
            continue;
        if (shortcut->getAction == SPI_GETHIGHCONTRAST)
            KeepSchemeName(&settings.contrast);
        SavedAccess[i] = settings;
        settings.sticky.dwFlags &= ~shortcut->hotKeyFlags;
        AccessSwitched[i] = GuardPlatform.systemParametersInfo(shortcut->setAction, shortcut->size, &settings, 0);
    }
}

static void PutBackShortcuts()
{
    for (int i = 0; i < AccessShortcutCount; i++) {
        if (!AccessSwitched[i])
            continue;
        AccessSwitched[i] = FALSE;
        const AccessShortcut* shortcut = &AccessShortcuts[i];
        GuardPlatform.systemParametersInfo(shortcut->setAction, shortcut->size, &SavedAccess[i], 0);
    }
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
    GuardInstance = instance;
    GuardOn9x = (GuardPlatform.getVersion() & 0x80000000) != 0;
    StartHookThread();
    CloseWaysOut();
}

void RenewGuard()
{
    if (GuardState != GUARD_ENGAGED || GuardSuspendCount > 0 || !GuardOn9x)
        return;
    // A real screen saver, and stand-by, clear the switch: it is set again.
    BOOL previous = FALSE;
    if (GuardPlatform.systemParametersInfo(SPI_SETSCREENSAVERRUNNING, TRUE, &previous, 0))
        ScreenSaverSwitched = TRUE;
}

void ReleaseGuard()
{
    if (GuardState != GUARD_ENGAGED)
        return;
    GuardState = GUARD_RELEASED;
    StopHookThread();
    OpenWaysOut();
}

void SuspendGuard()
{
    if (++GuardSuspendCount == 1 && GuardState == GUARD_ENGAGED)
        OpenWaysOut();
}

void ResumeGuard()
{
    if (GuardSuspendCount > 0 && --GuardSuspendCount == 0 && GuardState == GUARD_ENGAGED)
        CloseWaysOut();
}

// The running guest session: its own clock, the taskbar's field, the warning
// window, the idle countdown, and the end with its log line, reset and bill.
#include "session/Session.h"
#include "core/Core.h"
#include "core/Shared.h"
#include "look/Look.h"
#include "media/Media.h"
#include "res/resource.h"

enum SessionState { STATE_OFF, STATE_WAITING, STATE_RUNNING, STATE_ENDING };

enum {
    TICK_PERIOD = 1000,
    MINUTE = 60000,
    MAX_MINUTES = 60000,           // keeps minutes * 60000 within 32 bits
    COUNTDOWN = 60000,
    FIRST_WARNING_SHOWN = 15000,   // the first warning goes away by itself
    FIELD_WIDTH = 120,
    FIELD_HEIGHT = 17,
    CLOCK_OFFSET = 40,             // the clock starts this far before the right edge
    WARNING_WIDTH = 250,
    WARNING_HEIGHT = 58,
    WM_SESSION_FINISH = WM_APP + 19
};

static const char SessionWindowClass[] = "HxSession";
static const char WarningWindowClass[] = "HxSessionWarning";
static const COLORREF WarningColour = RGB(176, 0, 0);

static DWORD PlatformTickCount() { return GetTickCount(); }
static DWORD PlatformLastInput();

static SessionCalls Calls = { PlatformTickCount, PlatformLastInput, AppendSessionLog, ResetForNextGuest };
SessionCalls* GetSessionCalls() { return &Calls; }

static SessionSettings Settings;
static int State = STATE_OFF;
static HWND OwnerWindow;
static HWND SessionWindow;
static HWND FieldWindow;
static HWND WarningWindow;
static WNDPROC StaticProcedure;
static HHOOK InputHook;
static BOOL FieldWarned;
static char WarningText[192];

// The session's own clock: what it has counted, and since when it counts.
static int PauseCount;
static DWORD CountedBefore;
static DWORD CountingSince;
static SYSTEMTIME StartedAt;
static DWORD ArmedAt;
// The latest input the shell's own thread saw, and the latest moment the
// guest was busy otherwise (the session began or resumed, media played).
static DWORD ShellInputAt;
static POINT ShellCursor;
static DWORD BusyAt;
static int WarningsGiven;   // 0 none, 1 the first, 2 the last minute's
static DWORD WarningShownAt;
static BOOL CountingDown;
static DWORD CountdownFrom;

// What the end leaves for the reset and the bill.
static BOOL FinishPending;
static BOOL BillPending;
static DWORD BilledMinutes;
static char BilledCost[48];

typedef BOOL(WINAPI* GetLastInputInfoProc)(LASTINPUTINFO* info);
static GetLastInputInfoProc LastInputEntry;
static POINT PolledCursor;
static DWORD PolledInputAt;

// Windows 95/98/ME have no GetLastInputInfo: a moved cursor or a key or
// button down, seen once a tick, is input there.
static DWORD PollInput()
{
    BOOL input = FALSE;
    POINT cursor;
    if (GetCursorPos(&cursor) && (cursor.x != PolledCursor.x || cursor.y != PolledCursor.y)) {
        PolledCursor = cursor;
        input = TRUE;
    }
    for (int key = 1; key < 256 && !input; key++)
        if (GetAsyncKeyState(key) & 0x8001)
            input = TRUE;
    if (input)
        PolledInputAt = GetTickCount();
    return PolledInputAt;
}

static DWORD PlatformLastInput()
{
    LASTINPUTINFO info = { sizeof info, 0 };
    if (LastInputEntry && LastInputEntry(&info))
        return info.dwTime;
    return PollInput();
}

static void ResolveLastInputEntry()
{
    LastInputEntry = NULL;
    if (WindowsVersion < 500)
        return;
    // user32 stays loaded: the shell links it.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32)
        LastInputEntry = (GetLastInputInfoProc)(void*)GetProcAddress(user32, "GetLastInputInfo");
}

// Milliseconds from `then` to `now` on the session's clock; never negative.
static DWORD Since(DWORD now, DWORD then)
{
    LONG difference = (LONG)(now - then);
    return difference < 0 ? 0 : (DWORD)difference;
}

static DWORD Capped(DWORD minutes) { return minutes > (DWORD)MAX_MINUTES ? (DWORD)MAX_MINUTES : minutes; }
static DWORD LimitMilliseconds() { return Capped(Settings.sessionMinutes) * MINUTE; }

static DWORD Elapsed()
{
    if (State != STATE_RUNNING)
        return 0;
    if (PauseCount > 0)
        return CountedBefore;
    return CountedBefore + Since(Calls.tickCount(), CountingSince);
}

static DWORD StartedMinutes(DWORD elapsed) { return elapsed / MINUTE + (elapsed % MINUTE ? 1 : 0); }

static void FormatPrice(const SessionSettings* settings, DWORD minutes, char* text, int size)
{
    char amount[40];
    ULONGLONG price = minutes ? SessionPrice(minutes, settings->firstHourPrice, settings->laterHourPrice,
                                             settings->billingMinutes) : 0;
    FormatAmount(price, settings->costDecimals, amount, sizeof amount);
    char shown[300];
    wsprintfA(shown, "%s%s", settings->currencyText, amount);
    lstrcpynA(text, shown, size);
}

void FormatSessionField(const SessionSettings* settings, DWORD elapsed, char* text, int size)
{
    char shown[340];
    DWORD limit = Capped(settings->sessionMinutes) * MINUTE;
    if (settings->mode == SESSION_PAID) {
        char price[300];
        FormatPrice(settings, StartedMinutes(elapsed), price, sizeof price);
        wsprintfA(shown, "%lu:%02lu  %s", (unsigned long)(elapsed / 3600000),
                  (unsigned long)(elapsed / MINUTE % 60), price);
    } else if (limit == 0) {
        wsprintfA(shown, "%lu:%02lu used", (unsigned long)(elapsed / 3600000),
                  (unsigned long)(elapsed / MINUTE % 60));
    } else {
        DWORD left = elapsed < limit ? limit - elapsed : 0;
        if (left >= MINUTE)
            wsprintfA(shown, "%lu min left", (unsigned long)StartedMinutes(left));
        else
            wsprintfA(shown, "0:%02lu left", (unsigned long)((left + 999) / 1000));
    }
    lstrcpynA(text, shown, size);
}

// ---- The taskbar's field -----------------------------------------------------

static void PaintSessionField(HDC dc, const RECT* rect, const char* text, BOOL warned)
{
    HBRUSH warning = warned ? CreateSolidBrush(WarningColour) : NULL;
    FillRect(dc, rect, warned ? warning : GetAccentBrush());
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, warned ? RGB(255, 255, 255) : DialogLook.AccentTextColour);
    RECT inner = *rect;
    inner.right -= 4;
    DrawTextA(dc, text, -1, &inner, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, oldFont);
    if (warning)
        DeleteObject(warning);
}

static LRESULT FieldOnPaint(HWND field)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(field, &paint);
    RECT client;
    GetClientRect(field, &client);
    char text[128] = "";
    GetWindowTextA(field, text, sizeof text);
    PaintSessionField(dc, &client, text, FieldWarned);
    EndPaint(field, &paint);
    return 0;
}

// The field is a static of the main window that paints itself, so that its
// colour can change without the main window's part in it.
static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:      return FieldOnPaint(field);
    case WM_ERASEBKGND: return 1;
    }
    return CallWindowProcA(StaticProcedure, field, message, wParam, lParam);
}

static void FieldPlace(int* x, int* y)
{
    *x = ScreenSize.width - CLOCK_OFFSET - 4 - FIELD_WIDTH;
    *y = ScreenSize.height - 22;
}

static void CreateField()
{
    int x, y;
    FieldPlace(&x, &y);
    FieldWindow = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, x, y, FIELD_WIDTH, FIELD_HEIGHT,
                                  OwnerWindow, (HMENU)(INT_PTR)IDC_SESSION_FIELD, AppInstance, NULL);
    if (FieldWindow)
        StaticProcedure = (WNDPROC)SetWindowLongPtrA(FieldWindow, GWLP_WNDPROC, (LONG_PTR)FieldProc);
}

// After a refresh the screen may have another size.
static void FollowScreenSize()
{
    if (!FieldWindow)
        return;
    RECT place;
    GetWindowRect(FieldWindow, &place);
    POINT corner = { place.left, place.top };
    ScreenToClient(OwnerWindow, &corner);
    int x, y;
    FieldPlace(&x, &y);
    if (corner.x != x || corner.y != y)
        MoveWindow(FieldWindow, x, y, FIELD_WIDTH, FIELD_HEIGHT, TRUE);
}

static void ShowField(DWORD elapsed, BOOL warned)
{
    if (!FieldWindow)
        return;
    char text[128], shown[128] = "";
    FormatSessionField(&Settings, elapsed, text, sizeof text);
    GetWindowTextA(FieldWindow, shown, sizeof shown);
    // Most ticks bring the same text: repainted only on a change.
    if (lstrcmpA(text, shown) == 0 && warned == FieldWarned)
        return;
    FieldWarned = warned;
    SetWindowTextA(FieldWindow, text);
    InvalidateRect(FieldWindow, NULL, FALSE);
}

// ---- The warning window ------------------------------------------------------

static LRESULT WarningOnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH face = CreateSolidBrush(WarningColour);
    FillRect(dc, &client, face);
    DeleteObject(face);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    InflateRect(&client, -8, -6);
    // Centred both ways: measured first, then drawn in the middle.
    RECT text = client;
    DrawTextA(dc, WarningText, -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    OffsetRect(&client, 0, ((client.bottom - client.top) - (text.bottom - text.top)) / 2);
    DrawTextA(dc, WarningText, -1, &client, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
    return 0;
}

// The warning is only shown: a click never activates it, and no close
// closes it (only the session hides it).
static LRESULT CALLBACK WarningProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:         return WarningOnPaint(window);
    case WM_ERASEBKGND:    return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_CLOSE:         return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void ShowWarning(const char* text)
{
    if (!WarningWindow)
        return;
    BOOL changed = lstrcmpA(text, WarningText) != 0;
    lstrcpynA(WarningText, text, sizeof WarningText);
    if (!IsWindowVisible(WarningWindow)) {
        SetWindowPos(WarningWindow, HWND_TOPMOST, ScreenSize.width - WARNING_WIDTH - 8,
                     ScreenSize.height - 36 - WARNING_HEIGHT, WARNING_WIDTH, WARNING_HEIGHT,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else if (changed) {
        InvalidateRect(WarningWindow, NULL, FALSE);
    }
}

static void HideWarning()
{
    if (WarningWindow && IsWindowVisible(WarningWindow))
        ShowWindow(WarningWindow, SW_HIDE);
}

static void CreateWarningWindow()
{
    // No title and a tool window: the taskbar gives it no button.
    DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    if (WindowsVersion >= 500)
        exStyle |= WS_EX_NOACTIVATE;
    WarningWindow = CreateWindowExA(exStyle, WarningWindowClass, "", WS_POPUP | WS_BORDER, 0, 0,
                                    WARNING_WIDTH, WARNING_HEIGHT, NULL, NULL, AppInstance, NULL);
}

// ---- Watching the session ----------------------------------------------------

static void WatchLimit(DWORD now, DWORD elapsed)
{
    DWORD limit = LimitMilliseconds();
    if (!limit || Settings.warnMinutes == 0 || CountingDown)
        return;
    DWORD left = limit - elapsed;
    int due = left <= MINUTE ? 2 : left <= Capped(Settings.warnMinutes) * MINUTE ? 1 : 0;
    if (due > WarningsGiven) {
        WarningsGiven = due;
        WarningShownAt = now;
    }
    // The first warning goes after a while; the last minute's stays to the end.
    if (WarningsGiven == 0 || (WarningsGiven == 1 && Since(now, WarningShownAt) >= FIRST_WARNING_SHOWN)) {
        HideWarning();
        return;
    }
    char text[192];
    if (left > MINUTE)
        wsprintfA(text, "%lu minutes left in this session.", (unsigned long)StartedMinutes(left));
    else
        wsprintfA(text, "%lu seconds left in this session.\nSave your work now.",
                  (unsigned long)((left + 999) / 1000));
    ShowWarning(text);
}

static DWORD IdleTime(DWORD now)
{
    DWORD idle = Since(now, Calls.lastInputTick());
    DWORD shell = Since(now, ShellInputAt);
    DWORD busy = Since(now, BusyAt);
    if (shell < idle)
        idle = shell;
    return busy < idle ? busy : idle;
}

static void CancelCountdown()
{
    if (!CountingDown)
        return;
    CountingDown = FALSE;
    HideWarning();
}

// Returns TRUE when the countdown ended the session.
static BOOL WatchIdle(DWORD now)
{
    if (Settings.idleMinutes == 0) {
        CancelCountdown();
        return FALSE;
    }
    // What plays is watched or listened to: the guest is there.
    if (Mp3Media.state == 1 || MovieMedia.state == 1)
        BusyAt = now;
    if (IdleTime(now) < Capped(Settings.idleMinutes) * MINUTE) {
        CancelCountdown();
        return FALSE;
    }
    if (!CountingDown) {
        CountingDown = TRUE;
        CountdownFrom = now;
    }
    DWORD waited = Since(now, CountdownFrom);
    if (waited >= COUNTDOWN) {
        EndGuestSession(END_IDLE);
        return TRUE;
    }
    char text[192];
    wsprintfA(text, "No input for %lu minutes: this session ends in %lu seconds.\nPress a key or move the mouse to go on.",
              (unsigned long)Capped(Settings.idleMinutes), (unsigned long)((COUNTDOWN - waited + 999) / 1000));
    ShowWarning(text);
    return FALSE;
}

static void BeginSession()
{
    DWORD now = Calls.tickCount();
    ReadSessionSettings(&Settings);
    State = STATE_RUNNING;
    CountedBefore = 0;
    CountingSince = now;
    BusyAt = now;
    GetLocalTime(&StartedAt);
    WarningsGiven = 0;
    CountingDown = FALSE;
    ShowField(0, FALSE);
}

// The input of the shell's own windows, seen as this thread takes it from its
// queue (in modal loops too): a key or a click begins a waiting session.
static void NoteShellInput(const MSG* msg)
{
    UINT message = msg->message;
    BOOL keyOrClick = message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_LBUTTONDOWN
                   || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN
                   || message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN;
    BOOL moved = (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE)
              && (msg->pt.x != ShellCursor.x || msg->pt.y != ShellCursor.y);
    if (moved)
        ShellCursor = msg->pt;
    if (!keyOrClick && !moved && !(message >= WM_KEYFIRST && message <= WM_KEYLAST))
        return;
    ShellInputAt = Calls.tickCount();
    if (keyOrClick && State == STATE_WAITING && PauseCount == 0)
        BeginSession();
}

static LRESULT CALLBACK InputHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE)
        NoteShellInput((const MSG*)lParam);
    return CallNextHookEx(InputHook, code, wParam, lParam);
}

static BOOL ShellInFront()
{
    HWND front = GetForegroundWindow();
    DWORD process = 0;
    if (!front)
        return TRUE;
    GetWindowThreadProcessId(front, &process);
    return process == GetCurrentProcessId();
}

// A key or click in another program's window (one left over) begins it too.
static void WatchForBegin()
{
    if (PauseCount == 0 && !ShellInFront() && (LONG)(Calls.lastInputTick() - ArmedAt) > 0)
        BeginSession();
}

static void SessionOnTick()
{
    FollowScreenSize();
    if (State == STATE_WAITING)
        WatchForBegin();
    if (State != STATE_RUNNING || PauseCount > 0)
        return;
    DWORD now = Calls.tickCount();
    DWORD elapsed = Elapsed();
    DWORD limit = LimitMilliseconds();
    if (limit && elapsed >= limit) {
        EndGuestSession(END_LIMIT);
        return;
    }
    if (WatchIdle(now))
        return;
    WatchLimit(now, elapsed);
    ShowField(elapsed, WarningsGiven > 0 || CountingDown);
}

// ---- The end, the reset and the bill ----------------------------------------

// The end as the log will tell it: written once the reset has run, so that a
// file the reset could not remove is named in the same line.
static SessionEnd EndedReason;
static DWORD EndedMinutes;
static SYSTEMTIME EndedAt;
static BOOL LinePending;

static void NoteEnd(SessionEnd reason, DWORD minutes)
{
    EndedReason = reason;
    EndedMinutes = minutes;
    GetLocalTime(&EndedAt);
    LinePending = TRUE;
}

// The cost as shown, without the currency text; empty for a free session.
static void WriteLogLine(const char* problem)
{
    if (!LinePending)
        return;
    LinePending = FALSE;
    char cost[48] = "";
    if (Settings.mode == SESSION_PAID)
        FormatAmount(SessionPrice(EndedMinutes, Settings.firstHourPrice, Settings.laterHourPrice,
                                  Settings.billingMinutes),
                     Settings.costDecimals, cost, sizeof cost);
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof computer;
    if (!GetComputerNameA(computer, &size))
        computer[0] = 0;
    char line[512 + MAX_PATH];
    FormatSessionLogLine(computer, &StartedAt, &EndedAt, EndedMinutes, cost, SessionEndWord(EndedReason),
                         line, sizeof line);
    AddLogProblem(problem, line, sizeof line);
    Calls.appendLog(Settings.logPath, line);
}

// A file it could not remove stays and is named in the log; the next guest
// may still begin.
static void RunResetAndLog()
{
    // The reset asks every listed window to close: the warning is not one of the guest's.
    HideWarning();
    char problem[MAX_PATH + 64];
    problem[0] = 0;
    if (Calls.reset(problem, sizeof problem))
        problem[0] = 0;
    problem[sizeof problem - 1] = 0;
    WriteLogLine(problem);
}

static void BillOnInit(HWND dialog)
{
    char minutes[16];
    wsprintfA(minutes, "%lu", (unsigned long)BilledMinutes);
    SetDlgItemTextA(dialog, IDC_BILL_MINUTES, minutes);
    SetDlgItemTextA(dialog, IDC_BILL_PRICE, BilledCost);
}

static INT_PTR CALLBACK BillProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = "Your Bill";
    switch (message) {
    case WM_INITDIALOG: BillOnInit(dialog); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: EndDialog(dialog, IDOK); return TRUE;
        }
        break;   // IDCANCEL falls to the look: the bill stays until OK
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

static void StopWatching();

// Ready for the next guest, or off when the administrator turned sessions off.
static void ArmSession()
{
    ReadSessionSettings(&Settings);
    if (Settings.mode == SESSION_OFF) {
        StopWatching();
        return;
    }
    State = STATE_WAITING;
    ArmedAt = Calls.tickCount();
    CountingDown = FALSE;
    WarningsGiven = 0;
    ShowField(0, FALSE);
}

// The reset and the bill wait until no administrator dialog is open.
static LRESULT SessionOnFinish()
{
    if (!FinishPending || PauseCount > 0)
        return 0;
    FinishPending = FALSE;
    RunResetAndLog();
    if (BillPending) {
        BillPending = FALSE;
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SESSION_BILL), OwnerWindow, BillProc, 0);
    }
    if (State == STATE_ENDING)
        ArmSession();
    return 0;
}

void EndGuestSession(SessionEnd reason)
{
    if (State != STATE_RUNNING)
        return;
    DWORD elapsed = Elapsed();
    DWORD limit = LimitMilliseconds();
    // A late tick never adds a minute: a session that reached its limit counts the limit.
    if (reason == END_LIMIT && limit && elapsed > limit)
        elapsed = limit;
    State = STATE_ENDING;
    CountingDown = FALSE;
    HideWarning();
    BilledMinutes = StartedMinutes(elapsed);
    BilledCost[0] = 0;
    if (Settings.mode == SESSION_PAID)
        FormatPrice(&Settings, BilledMinutes, BilledCost, sizeof BilledCost);
    NoteEnd(reason, BilledMinutes);
    ShowField(elapsed, FALSE);
    // The machine goes down: the reset now, and no one to read a bill.
    if (reason == END_SHUTDOWN) {
        RunResetAndLog();
        return;
    }
    BillPending = Settings.mode == SESSION_PAID;
    FinishPending = TRUE;
    PostMessageA(SessionWindow, WM_SESSION_FINISH, 0, 0);
}

void GuestEndsSession()
{
    if (State != STATE_RUNNING)
        return;
    int answer = MessageBoxA(OwnerWindow,
                             "End your session now? Your programs will be closed and the files you "
                             "saved on the desktop deleted.",
                             ProgramInfo.caption, MB_OKCANCEL | MB_ICONQUESTION);
    // The limit may have ended it while the question was open.
    if (answer == IDOK)
        EndGuestSession(END_GUEST);
}

// ---- The clock's pauses ------------------------------------------------------

void PauseSessionClock()
{
    if (PauseCount++ == 0 && State == STATE_RUNNING)
        CountedBefore += Since(Calls.tickCount(), CountingSince);
}

void ResumeSessionClock()
{
    if (PauseCount == 0 || --PauseCount > 0)
        return;
    DWORD now = Calls.tickCount();
    CountingSince = now;
    // The administrator's time at the machine is no guest's idleness.
    BusyAt = now;
    if (FinishPending && SessionWindow)
        PostMessageA(SessionWindow, WM_SESSION_FINISH, 0, 0);
}

// ---- Setting up and tearing down --------------------------------------------

static LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:          SessionOnTick(); return 0;
    case WM_SESSION_FINISH: return SessionOnFinish();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void RegisterSessionClasses()
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = SessionWindowProc;
    windowClass.hInstance = AppInstance;
    windowClass.lpszClassName = SessionWindowClass;
    RegisterClassA(&windowClass);
    windowClass.lpfnWndProc = WarningProc;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.lpszClassName = WarningWindowClass;
    RegisterClassA(&windowClass);
}

static void AddMenuEntry()
{
    if (CommandsMenu && GetMenuState(CommandsMenu, IDM_END_SESSION, MF_BYCOMMAND) == (UINT)-1)
        InsertMenuA(CommandsMenu, IDM_LOGIN, MF_BYCOMMAND | MF_STRING, IDM_END_SESSION, "End Session");
}

static void SetUpSessions()
{
    // What stands on the Desktop when sessions begin is the administrator's;
    // with sessions off the start-up walks no folder.
    TakeDesktopBaseline();
    // Every moment starts recent: the ticks are compared by their difference.
    GetCursorPos(&PolledCursor);
    PolledInputAt = GetTickCount();
    ShellInputAt = Calls.tickCount();
    RegisterSessionClasses();
    // Hidden, and with timers of its own: the main window's tick rebuilds the taskbar.
    SessionWindow = CreateWindowExA(0, SessionWindowClass, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                    AppInstance, NULL);
    CreateField();
    CreateWarningWindow();
    AddMenuEntry();
    InputHook = SetWindowsHookExA(WH_GETMESSAGE, InputHookProc, NULL, GetCurrentThreadId());
    SetTimer(SessionWindow, IDT_SESSION, TICK_PERIOD, NULL);
    ArmSession();
}

static void StopWatching()
{
    State = STATE_OFF;
    FinishPending = BillPending = FALSE;
    if (CommandsMenu)
        DeleteMenu(CommandsMenu, IDM_END_SESSION, MF_BYCOMMAND);
    if (InputHook)
        UnhookWindowsHookEx(InputHook);
    InputHook = NULL;
    if (SessionWindow) {
        KillTimer(SessionWindow, IDT_SESSION);
        DestroyWindow(SessionWindow);
    }
    if (FieldWindow)
        DestroyWindow(FieldWindow);
    if (WarningWindow)
        DestroyWindow(WarningWindow);
    SessionWindow = FieldWindow = WarningWindow = NULL;
    FieldWarned = FALSE;
}

void StartGuestSessions(HWND mainWindow)
{
    OwnerWindow = mainWindow;
    PauseCount = 0;
    ResolveLastInputEntry();
    ReadSessionSettings(&Settings);
    if (Settings.mode != SESSION_OFF)
        SetUpSessions();
}

void SessionSettingsChanged()
{
    ReadSessionSettings(&Settings);
    if (Settings.mode == SESSION_OFF) {
        // A running session ends as the administrator's; the end turns the rest off.
        if (State == STATE_RUNNING)
            EndGuestSession(END_ADMINISTRATOR);
        else if (State == STATE_WAITING)
            StopWatching();
        return;
    }
    if (State == STATE_OFF && OwnerWindow)
        SetUpSessions();
    else if (State == STATE_WAITING || State == STATE_RUNNING)
        ShowField(Elapsed(), FieldWarned);
}

// The shell closes: a running session is logged as the administrator's end.
void StopGuestSessions()
{
    if (State == STATE_RUNNING)
        NoteEnd(END_ADMINISTRATOR, StartedMinutes(Elapsed()));
    // No reset on the way out; an end still waiting for one is logged as it is.
    WriteLogLine("");
    StopWatching();
    OwnerWindow = NULL;
}

BOOL SessionRunning() { return State == STATE_RUNNING; }

// Guest sessions: a guest's time limited, shown and billed, and the machine
// made clean for the next guest. Off by default ("SessionMode" 0).
#pragma once
#include <windows.h>

enum SessionMode { SESSION_OFF = 0, SESSION_FREE = 1, SESSION_PAID = 2 };

// Why a session ended, as the log writes it: "limit", "idle", "guest",
// "administrator", "shutdown".
enum SessionEnd { END_LIMIT, END_IDLE, END_GUEST, END_ADMINISTRATOR, END_SHUTDOWN };
const char* SessionEndWord(SessionEnd reason);

// The settings, read afresh from the product key; a value that is missing or
// cannot be read falls back to its default and is never overwritten.
struct SessionSettings {
    DWORD mode;                 // "SessionMode", 0
    DWORD sessionMinutes;       // "SessionMinutes", 60
    DWORD warnMinutes;          // "WarnMinutes", 5
    DWORD idleMinutes;          // "IdleMinutes", 10
    DWORD billingMinutes;       // "BillingMinutes", 15
    DWORD firstHourPrice;       // "Hcost", in the smallest unit of money
    DWORD laterHourPrice;       // "Hcost2"
    DWORD costDecimals;         // "CostDecimals", 2
    char currencyText[256];     // "CurrencyText", ""
    char logPath[MAX_PATH];     // "SessionLog"
    char cleanupCommand[256];   // "SessionCleanup", ""
};
void ReadSessionSettings(SessionSettings* settings);
// The log's default: where the shell's user may write.
void DefaultSessionLogPath(char* path, int size);

// The price of a paid session of `minutes` started minutes.
ULONGLONG SessionPrice(DWORD minutes, DWORD firstHourPrice, DWORD laterHourPrice, DWORD billingMinutes);
// "2.38" for 238 with two decimals; no currency text.
void FormatAmount(ULONGLONG amount, DWORD decimals, char* text, int size);
// One CSV line of the log, without the line end:
// computer,start,end,minutes,cost,reason
void FormatSessionLogLine(const char* computer, const SYSTEMTIME* start, const SYSTEMTIME* end,
                          DWORD minutes, const char* cost, const char* reason, char* line, int size);
// The reset's problem (a file it could not remove), where there was one, as a
// seventh field after the reason; lines without one keep the six.
void AddLogProblem(const char* problem, char* line, int size);

// Appends one line (without its line end) to the log, the header first when
// the file is new or empty, under a short lock with retries. A log that cannot
// be reached (a share that is away) keeps the line in a local file beside the
// default log and appends it, in order, before the next line once the log is
// back. FALSE when the line is only kept locally for now.
BOOL AppendSessionLog(const char* logPath, const char* line);
// The local file those lines wait in: "Halcyne sessions pending.csv" beside
// the default log.
void PendingSessionLogPath(char* path, int size);

// Today's sessions, minutes and takings (in the smallest unit), from the log.
struct SessionTotals {
    DWORD sessions;
    DWORD minutes;
    ULONGLONG takings;
};
BOOL SumSessionLog(const char* logPath, const SYSTEMTIME* day, DWORD costDecimals, SessionTotals* totals);

// The running session.
void StartGuestSessions(HWND mainWindow);   // once, when the main window stands
void StopGuestSessions();                   // the shell closes
void SessionSettingsChanged();              // the administrator wrote new settings
BOOL SessionRunning();
void EndGuestSession(SessionEnd reason);
// The administrator's dialogs stop the guest's clock while they are open.
void PauseSessionClock();
void ResumeSessionClock();
// "End Session" in the commands menu: the guest confirms, then the session ends.
void GuestEndsSession();

// What the running session takes from the platform, replaceable so that a
// test can run an hour in no time: its clock and the time of the last input
// anywhere (both in milliseconds, the same clock), the log's append and the
// reset.
struct SessionCalls {
    DWORD (*tickCount)();
    DWORD (*lastInputTick)();
    BOOL (*appendLog)(const char* logPath, const char* line);
    BOOL (*reset)(char* problem, int problemSize);
};
SessionCalls* GetSessionCalls();

// The taskbar's field: the time left of a free session (seconds in its last
// minute), or the time used and the price so far of a paid one.
void FormatSessionField(const SessionSettings* settings, DWORD elapsed, char* text, int size);
// What the administrator put on the Desktop: taken when sessions start and whenever
// the Options Panel closes with OK; the reset never deletes any of it.
void TakeDesktopBaseline();
// The clean machine for the next guest: the guest's windows closed (ended
// when they stay), what the session added to the Desktop deleted, the
// temporary folder, recent documents and clipboard emptied, the
// administrator's clean-up command run, the desktop refreshed. False when a
// file on the Desktop could not be removed; `problem` then names it, nothing
// more was deleted there, and the other steps still ran.
BOOL ResetForNextGuest(char* problem, int problemSize);

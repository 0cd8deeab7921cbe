// The sessions' log: one CSV line per ended session, appended under a short
// lock, so that many PCs may write to one file on a share. A line that cannot
// reach the log waits in a local file and goes first at the next append.
#include "session/Session.h"

enum {
    LOCK_TRIES = 20,          // 20 tries 100 ms apart: a lock held longer counts as away
    LOCK_PAUSE = 100,
    LOG_LINE_LIMIT = 1024,    // longer lines are not ours: skipped whole
    LOG_FIELD_SIZE = 40,
    LOG_FIELDS = 7,          // the seventh, the reset's problem, only where there was one
};

static const char LogHeader[] = "computer,start,end,minutes,cost,reason\r\n";
static const char LineEnd[] = "\r\n";

void PendingSessionLogPath(char* path, int size)
{
    char folder[MAX_PATH];
    DefaultSessionLogPath(folder, sizeof folder);
    int cut = lstrlenA(folder);
    while (cut > 0 && folder[cut - 1] != '\\')
        cut--;
    folder[cut] = 0;
    char full[MAX_PATH + 40];
    lstrcpyA(full, folder);
    lstrcatA(full, "Halcyne sessions pending.csv");
    lstrcpynA(path, full, size);
}

// Share mode 0 is the lock; another PC holding it is waited for a moment.
// Anything but a lock (a share that is away, a folder that is not there)
// fails at once.
static HANDLE OpenLocked(const char* path, DWORD access, DWORD share, DWORD creation)
{
    for (int attempt = 0;; attempt++) {
        HANDLE file = CreateFileA(path, access, share, NULL, creation, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt + 1 >= LOCK_TRIES)
            return INVALID_HANDLE_VALUE;
        Sleep(LOCK_PAUSE);
    }
}

static BOOL WriteAll(HANDLE file, const char* data, DWORD length)
{
    DWORD written = 0;
    return WriteFile(file, data, length, &written, NULL) && written == length;
}

// At the end of the log: the header when it is empty, a line end when the
// last line was cut short (a write that the share broke off, a foreign file).
static BOOL PrepareLogEnd(HANDLE log)
{
    DWORD high = 0;
    DWORD low = GetFileSize(log, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return FALSE;
    if (low == 0 && high == 0)
        return WriteAll(log, LogHeader, sizeof LogHeader - 1);
    LONG back = -1;
    char last = 0;
    DWORD got = 0;
    if (SetFilePointer(log, -1, &back, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return FALSE;
    if (!ReadFile(log, &last, 1, &got, NULL) || got != 1)
        return FALSE;
    LONG zero = 0;
    if (SetFilePointer(log, 0, &zero, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return FALSE;
    return last == '\n' ? TRUE : WriteAll(log, LineEnd, 2);
}

// Copies the lines kept locally to the log; the file stays open (and locked)
// in *held so that it is emptied only once the log has them all.
static BOOL CopyPendingLines(HANDLE log, const char* pendingPath, HANDLE* held)
{
    *held = CreateFileA(pendingPath, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (*held == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    char buffer[4096];
    char last = '\n';
    DWORD got = 0;
    while (ReadFile(*held, buffer, sizeof buffer, &got, NULL) && got > 0) {
        if (!WriteAll(log, buffer, got))
            return FALSE;
        last = buffer[got - 1];
    }
    return last == '\n' ? TRUE : WriteAll(log, LineEnd, 2);
}

static BOOL KeepLocally(const char* pendingPath, const char* line)
{
    HANDLE file = OpenLocked(pendingPath, GENERIC_WRITE, 0, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    LONG zero = 0;
    BOOL kept = (SetFilePointer(file, 0, &zero, FILE_END) != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR)
                && WriteAll(file, line, (DWORD)lstrlenA(line)) && WriteAll(file, LineEnd, 2);
    CloseHandle(file);
    return kept;
}

BOOL AppendSessionLog(const char* logPath, const char* line)
{
    char pendingPath[MAX_PATH];
    PendingSessionLogPath(pendingPath, sizeof pendingPath);
    BOOL ownPending = lstrcmpiA(pendingPath, logPath) != 0;
    HANDLE log = OpenLocked(logPath, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS);
    if (log != INVALID_HANDLE_VALUE) {
        HANDLE held = INVALID_HANDLE_VALUE;
        BOOL written = PrepareLogEnd(log);
        if (written && ownPending)
            written = CopyPendingLines(log, pendingPath, &held);
        written = written && WriteAll(log, line, (DWORD)lstrlenA(line)) && WriteAll(log, LineEnd, 2)
                  && FlushFileBuffers(log);
        CloseHandle(log);
        // A log that took only part keeps the older lines pending: a line
        // twice in the log is better than a line lost.
        if (held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
            if (written)
                DeleteFileA(pendingPath);
        }
        if (written)
            return TRUE;
    }
    if (ownPending)
        KeepLocally(pendingPath, line);
    return FALSE;
}

// One field of a CSV line as FormatSessionLogLine writes it: plain, or quoted
// with its quotes doubled. Returns where the next field begins, or null at
// the line's end; *damaged when the quoting is broken.
static const char* NextField(const char* at, const char* end, char* field, BOOL* fieldCut, BOOL* damaged)
{
    int length = 0;
    *fieldCut = FALSE;
    auto put = [&](char character) {
        if (length < LOG_FIELD_SIZE - 1)
            field[length++] = character;
        else
            *fieldCut = TRUE;
    };
    if (at < end && *at == '"') {
        for (at++;; at++) {
            if (at >= end) {
                *damaged = TRUE;
                break;
            }
            if (*at == '"') {
                if (at + 1 < end && at[1] == '"') {
                    put('"');
                    at++;
                    continue;
                }
                at++;
                if (at < end && *at != ',')
                    *damaged = TRUE;
                break;
            }
            put(*at);
        }
    } else {
        for (; at < end && *at != ','; at++)
            put(*at);
    }
    field[length] = 0;
    return at < end ? at + 1 : NULL;
}

static BOOL IsDigit(char character) { return character >= '0' && character <= '9'; }

// value * 10 + digit, FALSE on overflow.
static BOOL AddDigit(ULONGLONG* value, char digit)
{
    ULONGLONG next = *value * 10 + (ULONGLONG)(digit - '0');
    if (*value > (~0ull - 9) / 10)
        return FALSE;
    *value = next;
    return TRUE;
}

// "2.38" back to 238 with two decimals; more decimals than that round half
// up, fewer are filled with zeros. Empty is a free session.
static BOOL ParseCost(const char* text, DWORD decimals, ULONGLONG* amount)
{
    ULONGLONG value = 0;
    const char* c = text;
    if (*c == 0) {
        *amount = 0;
        return TRUE;
    }
    if (!IsDigit(*c))
        return FALSE;
    for (; IsDigit(*c); c++)
        if (!AddDigit(&value, *c))
            return FALSE;
    if (*c == '.') {
        c++;
        if (!IsDigit(*c))
            return FALSE;
    }
    DWORD used = 0;
    BOOL roundUp = FALSE;
    for (; IsDigit(*c); c++) {
        if (used < decimals) {
            if (!AddDigit(&value, *c))
                return FALSE;
            used++;
        } else if (used == decimals) {
            roundUp = *c >= '5';
            used++;
        }
    }
    if (*c != 0)
        return FALSE;
    for (; used < decimals; used++)
        if (!AddDigit(&value, '0'))
            return FALSE;
    if (roundUp && value == ~0ull)
        return FALSE;
    *amount = value + (roundUp ? 1 : 0);
    return TRUE;
}

static BOOL ParseMinutes(const char* text, DWORD* minutes)
{
    ULONGLONG value = 0;
    if (!*text)
        return FALSE;
    for (const char* c = text; *c; c++)
        if (!IsDigit(*c) || !AddDigit(&value, *c) || value > 0xFFFFFFFFull)
            return FALSE;
    *minutes = (DWORD)value;
    return TRUE;
}

// "YYYY-MM-DD HH:MM:SS" ending on `dayText` ("YYYY-MM-DD").
static BOOL EndsOnDay(const char* end, const char* dayText)
{
    const char pattern[] = "0000-00-00 00:00:00";
    if (lstrlenA(end) != (int)sizeof pattern - 1)
        return FALSE;
    for (int i = 0; pattern[i]; i++)
        if (pattern[i] == '0' ? !IsDigit(end[i]) : end[i] != pattern[i])
            return FALSE;
    for (int i = 0; i < 10; i++)
        if (end[i] != dayText[i])
            return FALSE;
    return TRUE;
}

// One line of the log; the header, foreign and damaged lines count nothing.
static void CountLogLine(const char* line, int length, const char* dayText, DWORD costDecimals,
                         SessionTotals* totals)
{
    char fields[LOG_FIELDS][LOG_FIELD_SIZE];
    BOOL cut[LOG_FIELDS];
    BOOL damaged = FALSE;
    const char* at = line;
    const char* end = line + length;
    int count = 0;
    while (at && count < LOG_FIELDS) {
        at = NextField(at, end, fields[count], &cut[count], &damaged);
        count++;
    }
    if (at || count < LOG_FIELDS - 1 || damaged || cut[2] || cut[3] || cut[4])
        return;
    DWORD minutes = 0;
    ULONGLONG cost = 0;
    if (!EndsOnDay(fields[2], dayText) || !ParseMinutes(fields[3], &minutes)
        || !ParseCost(fields[4], costDecimals, &cost))
        return;
    totals->sessions++;
    totals->minutes = totals->minutes > 0xFFFFFFFFu - minutes ? 0xFFFFFFFFu : totals->minutes + minutes;
    totals->takings = totals->takings > ~0ull - cost ? ~0ull : totals->takings + cost;
}

static BOOL SumLogFile(const char* path, const char* dayText, DWORD costDecimals, SessionTotals* totals)
{
    HANDLE file = OpenLocked(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    char buffer[4096];
    char line[LOG_LINE_LIMIT];
    int length = 0;
    BOOL tooLong = FALSE;
    DWORD got = 0;
    BOOL read = TRUE;
    for (;;) {
        read = ReadFile(file, buffer, sizeof buffer, &got, NULL);
        if (!read || got == 0)
            break;
        for (DWORD i = 0; i < got; i++) {
            char character = buffer[i];
            if (character == '\r' || character == '\n') {
                if (length > 0 && !tooLong)
                    CountLogLine(line, length, dayText, costDecimals, totals);
                length = 0;
                tooLong = FALSE;
            } else if (length < (int)sizeof line) {
                line[length++] = character;
            } else {
                tooLong = TRUE;
            }
        }
    }
    if (length > 0 && !tooLong)
        CountLogLine(line, length, dayText, costDecimals, totals);
    CloseHandle(file);
    return read;
}

// The lines still kept locally belong to the log too: they are counted with it.
BOOL SumSessionLog(const char* logPath, const SYSTEMTIME* day, DWORD costDecimals, SessionTotals* totals)
{
    ZeroMemory(totals, sizeof *totals);
    char dayText[16];
    wsprintfA(dayText, "%04u-%02u-%02u", day->wYear % 10000, day->wMonth % 100, day->wDay % 100);
    BOOL read = SumLogFile(logPath, dayText, costDecimals, totals);
    char pendingPath[MAX_PATH];
    PendingSessionLogPath(pendingPath, sizeof pendingPath);
    if (lstrcmpiA(pendingPath, logPath) != 0)
        SumLogFile(pendingPath, dayText, costDecimals, totals);
    return read;
}

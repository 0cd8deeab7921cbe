// The rules of a guest session that need no window: its settings, the
// price of a paid session, amounts as shown and the log's line.
#include "session/Session.h"
#include "core/Core.h"

const char* SessionEndWord(SessionEnd reason)
{
    switch (reason) {
    case END_LIMIT:         return "limit";
    case END_IDLE:          return "idle";
    case END_GUEST:         return "guest";
    case END_ADMINISTRATOR: return "administrator";
    case END_SHUTDOWN:      return "shutdown";
    }
    return "";
}

// Read without ever writing: a value that is missing or cannot be read
// leaves the default in place.
static DWORD ReadSessionNumber(HKEY key, const char* name, DWORD fallback)
{
    DWORD number = 0, size = sizeof number, type = 0;
    if (!key || RegQueryValueExA(key, name, NULL, &type, (BYTE*)&number, &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof number)
        return fallback;
    return number;
}

static void ReadSessionText(HKEY key, const char* name, char* text, DWORD textSize, const char* fallback)
{
    lstrcpynA(text, fallback, (int)textSize);
    if (!key)
        return;
    char data[MAX_PATH + 1];
    DWORD size = sizeof data - 1, type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    data[size] = 0;
    if (lstrlenA(data) >= (int)textSize)
        return;
    lstrcpynA(text, data, (int)textSize);
}

// A price is a string of digits; anything else reads as no price.
static DWORD PriceFromText(const char* text)
{
    ULONGLONG price = 0;
    for (; *text; text++) {
        if (*text < '0' || *text > '9')
            return 0;
        price = price * 10 + (ULONGLONG)(*text - '0');
        if (price > 0xFFFFFFFFull)
            return 0;
    }
    return (DWORD)price;
}

void DefaultSessionLogPath(char* path, int size)
{
    // The user's application data folder where the profile names one (the
    // shell's user may always write there), else the Windows directory.
    char folder[MAX_PATH] = "";
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        ReadSessionText(key, "AppData", folder, sizeof folder, "");
        RegCloseKey(key);
    }
    if (!folder[0] || GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) {
        UINT length = GetWindowsDirectoryA(folder, sizeof folder);
        if (length == 0 || length >= sizeof folder)
            lstrcpyA(folder, "C:\\");
    }
    int length = lstrlenA(folder);
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = 0;
    char full[MAX_PATH + 32];
    lstrcpyA(full, folder);
    lstrcatA(full, "\\Halcyne sessions.csv");
    lstrcpynA(path, full, size);
}

void ReadSessionSettings(SessionSettings* settings)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ProductKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        key = NULL;
    settings->mode = ReadSessionNumber(key, "SessionMode", SESSION_OFF);
    if (settings->mode > SESSION_PAID)
        settings->mode = SESSION_OFF;
    settings->sessionMinutes = ReadSessionNumber(key, "SessionMinutes", 60);
    settings->warnMinutes = ReadSessionNumber(key, "WarnMinutes", 5);
    settings->idleMinutes = ReadSessionNumber(key, "IdleMinutes", 10);
    settings->billingMinutes = ReadSessionNumber(key, "BillingMinutes", 15);
    if (settings->billingMinutes == 0)
        settings->billingMinutes = 15;
    settings->costDecimals = ReadSessionNumber(key, "CostDecimals", 2);
    if (settings->costDecimals > 9)
        settings->costDecimals = 2;
    char text[256];
    ReadSessionText(key, "Hcost", text, sizeof text, "");
    settings->firstHourPrice = PriceFromText(text);
    ReadSessionText(key, "Hcost2", text, sizeof text, "");
    settings->laterHourPrice = PriceFromText(text);
    ReadSessionText(key, "CurrencyText", settings->currencyText, sizeof settings->currencyText, "");
    char defaultLog[MAX_PATH];
    DefaultSessionLogPath(defaultLog, sizeof defaultLog);
    ReadSessionText(key, "SessionLog", settings->logPath, sizeof settings->logPath, defaultLog);
    if (!settings->logPath[0])
        lstrcpynA(settings->logPath, defaultLog, sizeof settings->logPath);
    ReadSessionText(key, "SessionCleanup", settings->cleanupCommand, sizeof settings->cleanupCommand, "");
    if (key)
        RegCloseKey(key);
}

static ULONGLONG SaturatingMultiply(ULONGLONG a, ULONGLONG b)
{
    if (a != 0 && b > ~0ull / a)
        return ~0ull;
    return a * b;
}

static ULONGLONG SaturatingAdd(ULONGLONG a, ULONGLONG b)
{
    return a > ~0ull - b ? ~0ull : a + b;
}

// Every started unit counts, at least one. A unit that starts within the
// first hour is billed at the first hour's price, every later one at the
// later price; the sum is taken over sixtieths and rounded half up once.
ULONGLONG SessionPrice(DWORD minutes, DWORD firstHourPrice, DWORD laterHourPrice, DWORD billingMinutes)
{
    if (billingMinutes == 0)
        billingMinutes = 15;
    ULONGLONG units = ((ULONGLONG)minutes + billingMinutes - 1) / billingMinutes;
    if (units == 0)
        units = 1;
    ULONGLONG firstHourUnits = (60 + (ULONGLONG)billingMinutes - 1) / billingMinutes;
    if (firstHourUnits > units)
        firstHourUnits = units;
    ULONGLONG laterUnits = units - firstHourUnits;
    ULONGLONG sixtieths = SaturatingAdd(
        SaturatingMultiply(SaturatingMultiply(firstHourUnits, firstHourPrice), billingMinutes),
        SaturatingMultiply(SaturatingMultiply(laterUnits, laterHourPrice), billingMinutes));
    if (sixtieths == ~0ull)
        return ~0ull / 60;
    return (sixtieths + 30) / 60;
}

void FormatAmount(ULONGLONG amount, DWORD decimals, char* text, int size)
{
    if (decimals > 9)
        decimals = 9;
    char digits[32];
    int count = 0;
    do {
        digits[count++] = (char)('0' + amount % 10);
        amount /= 10;
    } while (amount > 0 || count <= (int)decimals);
    char shown[40];
    int length = 0;
    for (int i = count - 1; i >= 0; i--) {
        shown[length++] = digits[i];
        if (i == (int)decimals && decimals > 0)
            shown[length++] = '.';
    }
    shown[length] = 0;
    lstrcpynA(text, shown, size);
}

static void FormatLocalTime(const SYSTEMTIME* time, char* text)
{
    wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", time->wYear, time->wMonth, time->wDay,
              time->wHour, time->wMinute, time->wSecond);
}

// A field with a comma, a quote or a line end is quoted, its quotes doubled,
// so that a computer name can never shift the columns.
static void AppendCsvField(char* line, int size, int* length, const char* field, BOOL last)
{
    BOOL quote = FALSE;
    for (const char* c = field; *c; c++)
        if (*c == ',' || *c == '"' || *c == '\r' || *c == '\n')
            quote = TRUE;
    const char* c = field;
    auto put = [&](char character) {
        if (*length < size - 1) {
            line[(*length)++] = character;
            line[*length] = 0;
        }
    };
    if (quote)
        put('"');
    for (; *c; c++) {
        if (*c == '"')
            put('"');
        put(*c == '\r' || *c == '\n' ? ' ' : *c);
    }
    if (quote)
        put('"');
    if (!last)
        put(',');
}

void FormatSessionLogLine(const char* computer, const SYSTEMTIME* start, const SYSTEMTIME* end,
                          DWORD minutes, const char* cost, const char* reason, char* line, int size)
{
    if (size <= 0)
        return;
    line[0] = 0;
    int length = 0;
    char startText[32], endText[32], minutesText[16];
    FormatLocalTime(start, startText);
    FormatLocalTime(end, endText);
    wsprintfA(minutesText, "%lu", (unsigned long)minutes);
    const char* fields[] = { computer, startText, endText, minutesText, cost ? cost : "", reason };
    for (int i = 0; i < 6; i++)
        AppendCsvField(line, size, &length, fields[i], i == 5);
}

void AddLogProblem(const char* problem, char* line, int size)
{
    if (!problem || !problem[0] || size <= 0)
        return;
    int length = lstrlenA(line);
    if (length >= size - 1)
        return;
    line[length++] = ',';
    line[length] = 0;
    AppendCsvField(line, size, &length, problem, TRUE);
}

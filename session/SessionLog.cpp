// The sessions' log: one CSV line per ended session.
#include "session/Session.h"

BOOL AppendSessionLog(const char* logPath, const char* line)
{
    return FALSE;
}

BOOL SumSessionLog(const char* logPath, const SYSTEMTIME* day, DWORD costDecimals, SessionTotals* totals)
{
    ZeroMemory(totals, sizeof *totals);
    return FALSE;
}

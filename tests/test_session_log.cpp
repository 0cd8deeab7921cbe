// The sessions' log: lines appended under a lock, kept locally while the log
// cannot be reached and sent first once it can, and today's totals read back
// from a file that others wrote too.
#include "session/Session.h"
#include "support/SessionSupport.h"
#include <gtest/gtest.h>

namespace {

const std::string Header = "computer,start,end,minutes,cost,reason\r\n";

std::string Content(const std::string& path)
{
    std::string content = "(missing)";
    ReadWholeFile(path, &content);
    return content;
}

std::string PendingPath()
{
    char path[MAX_PATH];
    PendingSessionLogPath(path, sizeof path);
    return path;
}

bool Append(const std::string& log, const char* line) { return AppendSessionLog(log.c_str(), line) != 0; }

DWORD WINAPI LetGoSoon(void* file)
{
    Sleep(300);   // another PC's append, while this one waits
    CloseHandle((HANDLE)file);
    return 0;
}

TEST(SessionLog, HeaderOnlyOnANewOrEmptyFileAndEveryLineEnded)
{
    AppDataFolder appData;
    TempFolder logs;
    const struct { const char* before; std::string after; } cases[] = {
        { nullptr, Header + "PC,1\r\n" },
        { "", Header + "PC,1\r\n" },
        { "old\r\n", "old\r\nPC,1\r\n" },
        { "cut short", "cut short\r\nPC,1\r\n" },
    };
    int row = 0;
    for (const auto& c : cases) {
        std::string log = logs.File("log" + std::to_string(row++) + ".csv");
        if (c.before)
            WriteWholeFile(log, c.before);
        EXPECT_TRUE(Append(log, "PC,1"));
        EXPECT_EQ(c.after, Content(log)) << (c.before ? c.before : "(new)");
    }
    EXPECT_EQ(appData.folder.File("Halcyne sessions pending.csv"), PendingPath());
    EXPECT_FALSE(Exists(PendingPath()));
}

TEST(SessionLog, ALockIsWaitedForAndOneHeldTooLongKeepsTheLineUntilTheNextAppend)
{
    AppDataFolder appData;
    TempFolder logs;
    std::string log = logs.File("sessions.csv");
    HANDLE held = CreateFileA(log.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    HANDLE other = CreateThread(NULL, 0, LetGoSoon, held, 0, NULL);
    EXPECT_TRUE(Append(log, "first"));
    WaitForSingleObject(other, 5000);
    CloseHandle(other);

    held = CreateFileA(log.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_FALSE(Append(log, "second")) << "held all along";
    EXPECT_EQ("second\r\n", Content(PendingPath()));
    CloseHandle(held);
    EXPECT_TRUE(Append(log, "third"));
    EXPECT_EQ(Header + "first\r\nsecond\r\nthird\r\n", Content(log));
    EXPECT_FALSE(Exists(PendingPath()));
}

TEST(SessionLog, AShareThatIsAwayLosesNoLine)
{
    AppDataFolder appData;
    TempFolder logs;
    std::string share = logs.File("share");
    std::string log = share + "\\sessions.csv";
    EXPECT_FALSE(Append(log, "one"));
    EXPECT_FALSE(Append(log, "two"));
    EXPECT_EQ("one\r\ntwo\r\n", Content(PendingPath()));
    EXPECT_FALSE(Exists(share)) << "the share's folder is never made";
    CreateDirectoryA(share.c_str(), NULL);
    EXPECT_TRUE(Append(log, "three"));
    EXPECT_EQ(Header + "one\r\ntwo\r\nthree\r\n", Content(log));
    EXPECT_FALSE(Exists(PendingPath()));
}

TEST(SessionLog, TodaysSessionsMinutesAndTakingsFromADamagedLog)
{
    AppDataFolder appData;
    TempFolder logs;
    std::string log = logs.File("sessions.csv");
    WriteWholeFile(log, Header +
        "PC-01,2026-12-11 09:00:00,2026-12-11 10:10:00,70,2.38,limit\r\n"
        "\"Desk, \"\"2\"\"\",2026-12-11 10:00:00,2026-12-11 10:10:00,10,0.5,guest\r\n"
        "PC-03,2026-12-11 11:00:00,2026-12-11 11:30:00,30,,idle\n"
        "PC-01,2026-12-10 23:50:00,2026-12-11 00:05:00,15,3,shutdown\r\n"
        "PC-02,2026-12-10 09:00:00,2026-12-10 10:00:00,60,2.00,limit\r\n" +
        std::string(100000, 'x') + "\r\n"
        "PC-04,2026-12-11 09:00:00,2026-12-11 10:00:00,x,1.00,limit\r\n"
        "PC-04,2026-12-11 09:00:00,2026-12-11 10:00:00,5,1.2.3,limit\r\n"
        "\"PC-05,2026-12-11 09:00:00,2026-12-11 10:00:00,5,1.00,limit\r\n"
        "PC-06,2026-12-11 09:00:00,2026-12-11 10:00:00,5,1.00,limit,more,most\r\n"
        "PC-07,2026-12-11 09:00:00,2026-12-11 10:00,5,1.00,limit\r\n"
        "PC-09,2026-12-11 09:00:00,2026-12-11 09:04:00,4,1.005,guest,C:\\Desktop\\held.txt");
    WriteWholeFile(PendingPath(), "PC-10,2026-12-11 12:00:00,2026-12-11 12:20:00,20,1.00,guest\r\n");
    SYSTEMTIME day = { 2026, 12, 5, 11, 0, 0, 0, 0 };
    // Today: PC-01 twice (one began yesterday), Desk "2", PC-03 (free), PC-09
    // (with the reset's problem), and PC-10 still waiting locally.
    const struct { DWORD decimals; ULONGLONG takings; } cases[] = { { 2, 238 + 50 + 300 + 101 + 100 }, { 0, 2 + 1 + 3 + 1 + 1 } };
    SessionTotals totals;
    for (const auto& c : cases) {
        EXPECT_TRUE(SumSessionLog(log.c_str(), &day, c.decimals, &totals));
        EXPECT_EQ(6u, totals.sessions);
        EXPECT_EQ(70u + 10 + 30 + 15 + 4 + 20, totals.minutes);
        EXPECT_EQ(c.takings, totals.takings) << c.decimals << " decimals";
    }
    EXPECT_FALSE(SumSessionLog(logs.File("none.csv").c_str(), &day, 2, &totals));
    EXPECT_EQ(1u, totals.sessions) << "what waits locally still counts";
}

}  // namespace

// The guest session's rules that need no window: the price, amounts as shown,
// the log's line and the settings read without ever being written.
#include "core/Core.h"
#include "session/Session.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

TEST(SessionRules, PriceOfStartedUnitsRoundedHalfUp)
{
    const struct { DWORD minutes, first, later, unit; ULONGLONG price; } cases[] = {
        { 10, 200, 150, 15, 50 },  { 70, 200, 150, 15, 238 },  { 0, 200, 150, 15, 50 },
        { 60, 200, 150, 15, 200 }, { 61, 200, 150, 15, 238 },  { 120, 200, 150, 15, 350 },
        { 1, 99, 0, 1, 2 },        { 61, 100, 60, 60, 160 },   { 50, 120, 60, 25, 100 },
        { 76, 120, 60, 25, 175 },  { 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 307445734418660284ull },
        { 600, 4000000000u, 4000000000u, 60, 40000000000ull },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.price, SessionPrice(c.minutes, c.first, c.later, c.unit))
            << c.minutes << " min at " << c.first << "/" << c.later << " per " << c.unit;
}

TEST(SessionRules, AmountsAndLogLines)
{
    const struct { ULONGLONG amount; DWORD decimals; const char* shown; } amounts[] = {
        { 238, 2, "2.38" }, { 50, 2, "0.50" }, { 5, 2, "0.05" }, { 0, 2, "0.00" },
        { 238, 0, "238" },  { 1234567, 3, "1234.567" }, { 40000000000ull, 2, "400000000.00" },
    };
    char text[40];
    for (const auto& a : amounts) {
        FormatAmount(a.amount, a.decimals, text, sizeof text);
        EXPECT_STREQ(a.shown, text) << a.amount;
    }
    SYSTEMTIME start = { 2026, 12, 5, 11, 9, 5, 0, 0 }, end = { 2026, 12, 5, 11, 10, 15, 7, 0 };
    char line[128];
    FormatSessionLogLine("PC-07", &start, &end, 71, "2.38", SessionEndWord(END_LIMIT), line, sizeof line);
    EXPECT_STREQ("PC-07,2026-12-11 09:05:00,2026-12-11 10:15:07,71,2.38,limit", line);
    FormatSessionLogLine("A,\"B\"", &start, &end, 1, "", SessionEndWord(END_ADMINISTRATOR), line, sizeof line);
    EXPECT_STREQ("\"A,\"\"B\"\"\",2026-12-11 09:05:00,2026-12-11 10:15:07,1,,administrator", line);
    FormatSessionLogLine("PC", &start, &end, 1, "", "guest", line, 12);
    EXPECT_STREQ("PC,2026-12-", line) << "bounded by the buffer";
}

TEST(SessionRules, SettingsFallBackToDefaultsAndAreNeverWritten)
{
    RegistryGuard key(HKEY_CURRENT_USER, "Software\\Hx_");
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Hx_");
    SessionSettings settings;
    ReadSessionSettings(&settings);
    EXPECT_EQ(0u, settings.mode);
    EXPECT_EQ(60u, settings.sessionMinutes);
    EXPECT_EQ(5u, settings.warnMinutes);
    EXPECT_EQ(10u, settings.idleMinutes);
    EXPECT_EQ(15u, settings.billingMinutes);
    EXPECT_EQ(2u, settings.costDecimals);
    EXPECT_NE(0, settings.logPath[0]);
    EXPECT_EQ("(missing)", RegText("Software\\Hx_", "SessionMode"));

    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "SessionMinutes", "30");   // another type
    SetRegDword(HKEY_CURRENT_USER, "Software\\Hx_", "IdleMinutes", 0);          // 0 = never
    SetRegDword(HKEY_CURRENT_USER, "Software\\Hx_", "SessionMode", 2);
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Hcost", "200");
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "Hcost2", "1x5");
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "CurrencyText", "EUR ");
    ReadSessionSettings(&settings);
    EXPECT_EQ(2u, settings.mode);
    EXPECT_EQ(60u, settings.sessionMinutes);
    EXPECT_EQ(0u, settings.idleMinutes);
    EXPECT_EQ(200u, settings.firstHourPrice);
    EXPECT_EQ(0u, settings.laterHourPrice) << "not a string of digits";
    EXPECT_STREQ("EUR ", settings.currencyText);
    EXPECT_EQ("30", RegText("Software\\Hx_", "SessionMinutes")) << "left as it was";
}

}  // namespace

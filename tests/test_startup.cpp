// Start-up of halcyne.exe, end to end: the window, the single instance, the
// command line.
#include "app/App.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(VersionNumber, MajorTimesHundredPlusScaledMinor)
{
    EXPECT_EQ(400u, VersionNumberFrom(0xC0000004));  // Windows 95
    EXPECT_EQ(410u, VersionNumberFrom(0xC0000A04));  // Windows 98
    EXPECT_EQ(490u, VersionNumberFrom(0xC0005A04));  // Windows ME
    EXPECT_EQ(500u, VersionNumberFrom(0x08930005));  // Windows 2000
    EXPECT_EQ(510u, VersionNumberFrom(0x0A280105));  // Windows XP
    EXPECT_EQ(400u, VersionNumberFrom(0x05650004));  // NT 4.0
}

TEST(ShellStartup, MainWindowCoversTheScreen)
{
    DesktopShell run;
    ASSERT_TRUE(run.Start());
    EXPECT_EQ("Win", ClassOf(run.main));
    EXPECT_EQ("Tavix Halcyne 2.0", WindowText(run.main));
    RECT rect;
    GetWindowRect(run.main, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rect.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rect.bottom);
    LONG style = GetWindowLongA(run.main, GWL_STYLE);
    EXPECT_EQ((LONG)(WS_POPUP | WS_VISIBLE | WS_SYSMENU), style & (WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_CAPTION));
    EXPECT_EQ(0x20Bu, GetClassLongA(run.main, GCL_STYLE));
}

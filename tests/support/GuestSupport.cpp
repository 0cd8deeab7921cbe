#include "support/GuestSupport.h"
#include "res/resource.h"
#include <cstdio>

bool Windows9x() { return (GetVersion() & 0x80000000) != 0; }

void WaysOut::Try(const std::string& way, bool holds)
{
    tried++, held += holds;
    EXPECT_TRUE(holds) << way << " let the guest through";
}

WaysOut::~WaysOut() { printf("%d ways out tried, %d held\n", tried, held); }

void HostileGuest::SetUp() { ASSERT_TRUE(quiet.Start()); }

std::string HostileGuest::Login(const char* typed) { return TryLogin(quiet.shell, quiet.main, typed); }

bool HostileGuest::ShellStands() { return IsWindow(quiet.main) && !quiet.shell.WaitForExit(0); }

bool HostileGuest::MainSurvives(const std::vector<WORD>& keys)
{
    SetForegroundWindow(quiet.main);
    WaitFor([&] { return GetForegroundWindow() == quiet.main; }, 2000);
    SendKeys(keys);
    SendKeys({ VK_F1 });
    HWND about = quiet.shell.WaitForWindow("#32770", "About (F1)");
    PostButtonClick(about, IDC_ABOUT_OK);
    WaitFor([&] { return !IsWindow(about); });
    return about && ShellStands();
}

// The hostile guest's side of the tests: a running shell with no tip, the
// count of ways out tried and held (printed last), and the guest's keys.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "support/AdminSupport.h"
#include "support/TestSupport.h"

bool Windows9x();

// Each way out is tried once; the destructor prints "N ways out tried, N held".
struct WaysOut {
    int tried = 0, held = 0;
    void Try(const std::string& way, bool holds);
    ~WaysOut();
};

struct HostileGuest : ::testing::Test {
    QuietShell quiet;
    WaysOut ways;
    void SetUp() override;
    std::string Login(const char* typed);
    bool ShellStands();
    // F1 after the keys: once About shows, the keys before it were handled.
    bool MainSurvives(const std::vector<WORD>& keys);
};

// Guest Restrictions from F3 as an administrator uses it: Windows' policy
// values read when the dialog opens, written on OK, removed when unticked.
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <deque>

namespace {

const char SystemPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char ExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char CommandPolicies[] = "Software\\Policies\\Microsoft\\Windows\\System";

const struct { int control; const char* key; const char* name; } Policies[] = {
    { IDC_GUEST_TASK_MANAGER, SystemPolicies, "DisableTaskMgr" },
    { IDC_GUEST_REGISTRY, SystemPolicies, "DisableRegistryTools" },
    { IDC_GUEST_COMMAND, CommandPolicies, "DisableCMD" },
    { IDC_GUEST_NO_RUN, ExplorerPolicies, "NoRun" },
    { IDC_GUEST_CONTEXT_MENU, ExplorerPolicies, "NoViewContextMenu" },
    { IDC_GUEST_RESTRICT_RUN, ExplorerPolicies, "RestrictRun" },
};

struct GuestRestrictions : ::testing::Test {
    QuietShell quiet;
    std::deque<SavedValue> saved;
    RegistryGuard runList{ HKEY_CURRENT_USER, std::string(ExplorerPolicies) + "\\RestrictRun" };
    HWND panel = NULL;
    void SetUp() override
    {
        for (const auto& policy : Policies)
            saved.emplace_back(HKEY_CURRENT_USER, policy.key, policy.name);
        ASSERT_TRUE(quiet.Start());
        ASSERT_NE(nullptr, panel = LogIntoPanel(quiet.shell, quiet.main));
    }
    HWND Open()
    {
        PostButtonClick(panel, IDC_PANEL_GUEST);
        return quiet.shell.WaitForWindow("#32770", "Guest Restrictions");
    }
    void TickAll(HWND dialog, WPARAM state)
    {
        for (const auto& policy : Policies)
            SendDlgItemMessageA(dialog, policy.control, BM_SETCHECK, state, 0);
    }
    void Close(HWND dialog, int button)
    {
        PostButtonClick(dialog, button);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }
    // "1" for a REG_DWORD 1, "-" for no value.
    std::string Stored(int index)
    {
        DWORD number = 0;
        std::string text;
        if (GetRegDword(HKEY_CURRENT_USER, Policies[index].key, Policies[index].name, &number))
            return std::to_string(number);
        return GetRegString(HKEY_CURRENT_USER, Policies[index].key, Policies[index].name, &text) ? "?" : "-";
    }
};

TEST_F(GuestRestrictions, TickWritesUntickRemovesCancelKeepsOutsideValuesShow)
{
    SetRegDword(HKEY_CURRENT_USER, ExplorerPolicies, "NoRun", 1);
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(i == 3, Checked(dialog, Policies[i].control)) << Policies[i].name;
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Escape does nothing";

    TickAll(dialog, BST_CHECKED);
    PostButtonClick(dialog, IDC_GUEST_OK);
    HWND box = quiet.shell.WaitForWindow("#32770", "Halcyne 2.08");
    ASSERT_NE(nullptr, box) << "an empty list is refused";
    EXPECT_NE(std::string::npos, MessageBoxText(box).find("Run only these programs"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ("-", Stored(0)) << "nothing written while refused";

    SendDlgItemMessageA(dialog, IDC_GUEST_PROGRAM_NAME, WM_SETTEXT, 0, (LPARAM)"notepad.exe");
    PostButtonClick(dialog, IDC_GUEST_ADD);
    EXPECT_TRUE(WaitFor([&] { return SendDlgItemMessageA(dialog, IDC_GUEST_PROGRAMS, LB_GETCOUNT, 0, 0) == 1; }));
    Close(dialog, IDC_GUEST_OK);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ("1", Stored(i)) << Policies[i].name;
    std::string program;
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, (std::string(ExplorerPolicies) + "\\RestrictRun").c_str(), "1", &program));
    EXPECT_EQ("notepad.exe", program);

    dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(1, SendDlgItemMessageA(dialog, IDC_GUEST_PROGRAMS, LB_GETCOUNT, 0, 0));
    for (const auto& policy : Policies)
        EXPECT_TRUE(Checked(dialog, policy.control)) << policy.name;
    TickAll(dialog, BST_UNCHECKED);
    Close(dialog, IDC_GUEST_CANCEL);
    EXPECT_EQ("1", Stored(0)) << "Cancel writes nothing";

    dialog = Open();
    ASSERT_NE(nullptr, dialog);
    TickAll(dialog, BST_UNCHECKED);
    Close(dialog, IDC_GUEST_OK);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ("-", Stored(i)) << Policies[i].name << " removed, not set to 0";
    PostButtonClick(panel, IDC_PANEL_CANCEL);
}

// On 2000/XP the panel says whether Ctrl+Alt+Del opens the Task Manager, again
// each time Guest Restrictions closes; 95 to ME have no such key, no warning.
TEST_F(GuestRestrictions, PanelWarnsWhileTheTaskManagerIsNotDisabled)
{
    HWND warning = GetDlgItem(panel, IDC_PANEL_TASK_MANAGER_WARNING);
    bool nt = (GetVersion() & 0x80000000) == 0;
    EXPECT_EQ(nt, IsWindowVisible(warning) != 0);
    for (WPARAM tick : { BST_CHECKED, BST_UNCHECKED }) {
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        SendDlgItemMessageA(dialog, IDC_GUEST_TASK_MANAGER, BM_SETCHECK, tick, 0);
        Close(dialog, IDC_GUEST_OK);
        bool shown = nt && tick == BST_UNCHECKED;
        EXPECT_TRUE(WaitFor([&] { return (IsWindowVisible(warning) != 0) == shown; })) << "ticked: " << (tick == BST_CHECKED);
    }
    PostButtonClick(panel, IDC_PANEL_CANCEL);
}

}  // namespace

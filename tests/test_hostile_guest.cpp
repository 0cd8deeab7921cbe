// A guest without the password against the running shell: every way out of
// it or into the Options Panel is tried, and the count printed last.
#include "admin/Admin.h"
#include "app/App.h"
#include "core/Core.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include "support/GuestSupport.h"
#include "support/MediaSupport.h"
#include <tlhelp32.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <map>

namespace {

const char PasswordKey[] = "Software\\HX_";

void SetRaw(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, PasswordKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

// The administrator's hardening: everyone may read the product key, nobody write
// it. Says whether the key is now as asked.
bool SetKeyWritable(bool writable)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PasswordKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = NULL;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    char aclBuffer[256];
    PACL acl = (PACL)aclBuffer;
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION, writable ? KEY_ALL_ACCESS : KEY_READ | WRITE_DAC, everyone);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    RegCloseKey(key);
    FreeSid(everyone);
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, PasswordKey, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_SUCCESS)
        RegCloseKey(key);
    return (opened == ERROR_SUCCESS) == writable;
}

// Processes started from an exe of that name, ended when asked.
int ProcessCount(const char* exeName, bool end = false)
{
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName) != 0)
            continue;
        count++;
        if (!end)
            continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return count;
}

TEST_F(HostileGuest, CorruptPasswordsOpenNothingAndStayAsTheyWere)
{
    std::string overLong(300, 'x');
    SetRegString(HKEY_CURRENT_USER, PasswordKey, "Password", overLong.c_str());
    std::string kept;
    ways.Try("a 300-character password", Login("") == "Invalid Password !"
             && GetRegString(HKEY_CURRENT_USER, PasswordKey, "Password", &kept) && kept == overLong);
    DWORD number = 7;
    SetRaw("Password", REG_DWORD, &number, sizeof number);
    ways.Try("a DWORD password", Login("") == "Invalid Password !"
             && GetRegDword(HKEY_CURRENT_USER, PasswordKey, "Password", &number) && number == 7);
    // Three wrong in a row would make the next try wait, refused uncompared:
    // a right password between keeps every try here compared.
    SetRegString(HKEY_CURRENT_USER, PasswordKey, "Password", "between");
    ASSERT_EQ("panel", Login("between"));
    SetRaw("Password", REG_BINARY, "\0\0\0", 4);
    ways.Try("a binary password", Login("") == "Invalid Password !"
             && SavedValue(HKEY_CURRENT_USER, PasswordKey, "Password").type == REG_BINARY);
    SetRegString(HKEY_CURRENT_USER, PasswordKey, "Password", "stra\xdf" "e");
    ways.Try("\"strasse\" for a password with the sharp s", Login("strasse") == "Invalid Password !");

    if (Windows9x()) {
        printf("95/98/ME keep no security on registry keys: no key there is read-only\n");
        return;
    }
    SetRegString(HKEY_CURRENT_USER, PasswordKey, "Password", "letmein");
    ASSERT_EQ("panel", Login("letmein"));
    ASSERT_TRUE(SetKeyWritable(false));
    ways.Try("the empty password on a read-only key", Login("") == "Invalid Password !");
    EXPECT_EQ("panel", Login("letmein")) << "the administrator still gets in";
    EXPECT_TRUE(SetKeyWritable(true));
}

// Alt+F4, the window menu's Close, the Task List, Escape in every dialog a
// guest can open, and the keys the guard swallows while no panel is open.
TEST_F(HostileGuest, KeysAndCommandsLeaveTheShellStanding)
{
    ways.Try("Alt+F4", MainSurvives({ VK_MENU, VK_F4 }));
    PostMessageA(quiet.main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ways.Try("the window menu's Close", MainSurvives({}));

    // Wine's own window procedure starts taskman.exe too: a stand-in shows whether it ran.
    std::string taskList = SystemIniPath().substr(0, SystemIniPath().rfind('\\')) + "\\taskman.exe";
    ASSERT_TRUE(CopyFileA((ExeFolder() + "\\floor.exe").c_str(), taskList.c_str(), FALSE));
    KeyRecorder recorder;
    SendMessageA(quiet.main, WM_SYSCOMMAND, SC_TASKLIST, 0);
    bool shellStartedNone = ProcessCount("taskman.exe") == 0;
    DefWindowProcA(recorder.window, WM_SYSCOMMAND, SC_TASKLIST, 0);
    EXPECT_EQ(1, ProcessCount("taskman.exe", true)) << "a plain window's Task List starts the stand-in";
    DeleteFileA(taskList.c_str());
    ways.Try("the Task List", shellStartedNone);

    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "DesktopMovie", SampleMedia("movie320x240.avi").c_str());
    struct GuestDialog { UINT key; const char* title; int close; };
    const GuestDialog dialogs[] = {
        { VK_F1, "About (F1)", IDC_ABOUT_OK }, { VK_F3, "Security (F3)", IDC_SECURITY_CANCEL },
        { VK_F4, "Shut Down (F4)", IDC_SHUTDOWN_CANCEL }, { VK_F11, "Tip of the Day", IDOK },
        { VK_F6, "HX2 MP3 Player (F6)", IDC_MP3_CLOSE }, { VK_F7, "Tavix Home Theatre (F7)", IDC_MOVIE_CLOSE },
    };
    for (const GuestDialog& guest : dialogs) {
        PostKey(quiet.main, guest.key);
        HWND dialog = quiet.shell.WaitForWindow("#32770", guest.title);
        ASSERT_NE(nullptr, dialog) << guest.title;
        SetForegroundWindow(dialog);
        SendKeys({ VK_ESCAPE });
        // What the dialog manager makes of Escape, sent so that it has been handled on return.
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ways.Try(std::string("Escape in ") + guest.title, IsWindowVisible(dialog) && ShellStands());
        PostButtonClick(dialog, guest.close);
        WaitFor([&] { return !IsWindowVisible(dialog); });
    }

    const struct { const char* name; std::vector<WORD> keys; WORD watched; } combos[] = {
        { "the left Windows key", { VK_LWIN }, VK_LWIN },
        { "the right Windows key", { VK_RWIN }, VK_RWIN },
        { "Ctrl+Esc", { VK_CONTROL, VK_ESCAPE }, VK_ESCAPE },
        { "Alt+Esc", { VK_MENU, VK_ESCAPE }, VK_ESCAPE },
        { "Ctrl+Shift+Esc", { VK_CONTROL, VK_SHIFT, VK_ESCAPE }, VK_ESCAPE },
    };
    // The hook is set wherever the platform takes it: Wine does whatever version it reports.
    for (const auto& combo : combos)
        ways.Try(combo.name, !recorder.Reached(combo.keys, combo.watched));
    EXPECT_TRUE(recorder.Reached({ VK_MENU, VK_TAB }, VK_TAB)) << "Alt+Tab passes";

    // The administrator has the keys while the panel is open, and the guest not after.
    SetRegString(HKEY_CURRENT_USER, PasswordKey, "Password", "");
    HWND panel = LogIntoPanel(quiet.shell, quiet.main);
    ASSERT_NE(nullptr, panel);
    EXPECT_TRUE(recorder.Reached({ VK_LWIN }, VK_LWIN));
    EXPECT_TRUE(recorder.Reached({ VK_CONTROL, VK_ESCAPE }, VK_ESCAPE));
    PostButtonClick(panel, IDC_PANEL_CANCEL);
    WaitFor([&] { return !IsWindow(panel); });
    ways.Try("the Windows key after the panel closed", !recorder.Reached({ VK_LWIN }, VK_LWIN));
    // Shut Down ends the session: the keys are the user's again.
    SendMessageA(quiet.main, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(recorder.Reached({ VK_LWIN }, VK_LWIN));
}

// Wine keeps no accessibility flags and the screen-saver switch has no effect
// on its keys, so the calls are watched through the guard's seam: a platform
// that keeps them, on the 95/98/ME path.
std::map<UINT, DWORD> Kept = { { SPI_GETSTICKYKEYS, SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY | SKF_AVAILABLE },
                               { SPI_GETFILTERKEYS, FKF_HOTKEYACTIVE | FKF_AVAILABLE },
                               { SPI_GETTOGGLEKEYS, TKF_CONFIRMHOTKEY | TKF_TOGGLEKEYSON },
                               { SPI_GETHIGHCONTRAST, HCF_HOTKEYACTIVE | HCF_CONFIRMHOTKEY | HCF_AVAILABLE },
                               { SPI_GETMOUSEKEYS, MKF_HOTKEYACTIVE | MKF_MOUSEKEYSON } };
BOOL SaverRunning;
// The scheme's name is lent in a buffer that the next call overwrites.
char LentScheme[32];
std::string SchemeGiven;

BOOL WINAPI KeepingParameters(UINT action, UINT parameter, PVOID data, UINT)
{
    lstrcpyA(LentScheme, "overwritten");
    if (action == SPI_GETHIGHCONTRAST)
        ((HIGHCONTRASTA*)data)->lpszDefaultScheme = lstrcpyA(LentScheme, "High Contrast Black");
    if (action == SPI_SETHIGHCONTRAST)
        SchemeGiven = ((HIGHCONTRASTA*)data)->lpszDefaultScheme;
    if (action == SPI_SETSCREENSAVERRUNNING)
        SaverRunning = parameter;
    // Each "get" is even and its "set" the next number; the flags follow the size.
    else if (action & 1)
        Kept[action - 1] = ((DWORD*)data)[1];
    else
        ((DWORD*)data)[1] = Kept[action];
    return TRUE;
}
DWORD WINAPI Windows98Version() { return 0xC0000A04; }

TEST(GuardSeam, ShortcutsAndScreenSaverGivenBackAfterQuitToWindowsUnderASeamSinceWineKeepsNoFlags)
{
    InitAdminGlobals();
    FileBackup systemIni(SystemIniPath());
    GetGuardCalls()->systemParametersInfo = KeepingParameters;
    GetGuardCalls()->getVersion = Windows98Version;
    const std::map<UINT, DWORD> users = Kept;
    EngageGuard(GetModuleHandleA(NULL));
    EXPECT_TRUE(SaverRunning);
    EXPECT_EQ(SKF_AVAILABLE, Kept[SPI_GETSTICKYKEYS]);
    EXPECT_EQ(FKF_AVAILABLE, Kept[SPI_GETFILTERKEYS]);
    EXPECT_EQ(TKF_TOGGLEKEYSON, Kept[SPI_GETTOGGLEKEYS]) << "the feature itself stays on";
    EXPECT_EQ(HCF_AVAILABLE, Kept[SPI_GETHIGHCONTRAST]);
    EXPECT_EQ(MKF_MOUSEKEYSON, Kept[SPI_GETMOUSEKEYS]);

    // As the login does around the panel; "Quit to Windows" ends it from inside.
    MainWindow = MakeFakeMainWindow();
    SetShellStart(CountStart);
    SuspendGuard();
    EXPECT_FALSE(SaverRunning);
    EXPECT_EQ(users, Kept);
    EXPECT_EQ("High Contrast Black", SchemeGiven);
    WhenShown("Halcyne 2.0 Options Panel", [](HWND panel) { ClickButton(panel, IDC_PANEL_QUIT); });
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_OPTIONS_PANEL), MainWindow, OptionsPanel, 0);
    ResumeGuard();
    EXPECT_EQ(1, CloseCount);
    EXPECT_FALSE(SaverRunning) << "nothing switched on again after the way out";
    EXPECT_EQ(users, Kept);
    DestroyWindow(MainWindow);
}

}  // namespace

// The reset between guests, in the shell's own process: the guest's windows
// closed or ended, what the session added to the Desktop folder deleted and
// the administrator's kept, against hostile names; the temporary folder, the
// clipboard and the administrator's clean-up command.
#include "core/Shared.h"
#include "look/Look.h"
#include "media/Media.h"
#include "session/Session.h"
#include "support/SessionSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

struct Reset : ::testing::Test {
    RegistryGuard product{ HKEY_CURRENT_USER, "Software\\Hx_" };
    AppDataFolder appData;
    TempFolder desktop;
    TempFolder outside;
    GuestTempFolder guestTemp;   // the folders above stay out of it

    void SetUp() override
    {
        AppInstance = GetModuleHandleA(NULL);
        UseDesktop(desktop.path);
    }
    static void UseDesktop(const std::string& folder)
    {
        lstrcpynA(ProgramInfo.desktopFolder, folder.c_str(), sizeof ProgramInfo.desktopFolder);
    }
    static bool Run(std::string* problem)
    {
        char text[MAX_PATH] = "x";
        bool clean = ResetForNextGuest(text, sizeof text) != 0;
        *problem = text;
        return clean;
    }
    // A file of the session's guest (after the baseline).
    static HANDLE Open(const std::string& path) { return CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL); }
};

std::wstring Long(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }
bool LongExists(const std::string& path) { return GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST_F(Reset, WhatTheSessionAddedGoesAndTheAdministratorsThingsStay)
{
    outside.Write("keep.txt", "k");
    for (const char* folder : { "Admin Folder", "Admin Folder\\Sub" })
        CreateDirectoryA(desktop.File(folder).c_str(), NULL);
    desktop.Write("admin.txt", "a");
    desktop.Write("Admin Folder\\doc.txt", "a");
    // A name that fills the path to its last character, and the guest's
    // longer one that would be cut down to it.
    std::string fills = desktop.File("Admin Folder\\");
    fills += std::string(MAX_PATH - 1 - fills.size(), 'n');
    WriteWholeFile(fills, "a");
    TakeDesktopBaseline();

    const char* added[] = { "download.exe", "read-only.txt", "hidden system.dat", "a;b,c 'd' & %e% [f] ~$g.doc",
                            "Guest Folder\\deep\\x.txt", "Admin Folder\\guest.txt", "Admin Folder\\Sub\\more.txt" };
    for (const char* folder : { "Guest Folder", "Guest Folder\\deep" })
        CreateDirectoryA(desktop.File(folder).c_str(), NULL);
    for (const char* name : added)
        desktop.Write(name, "guest");
    SetFileAttributesA(desktop.File("read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(desktop.File("hidden system.dat").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(desktop.File("Guest Folder").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(MakeShortcut(desktop.File("outside.lnk"), outside.path));
    // Names the platform's paths would read as the administrator's files.
    for (const std::string& name : { fills + "-guest", desktop.File("admin.txt."), desktop.File("admin.txt ") }) {
        HANDLE file = CreateFileW(Long(name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << name;
        CloseHandle(file);
    }
    // The temporary folder: a file in use (this test's own, say) is passed by.
    CreateDirectoryA((guestTemp.path + "\\sub").c_str(), NULL);
    WriteWholeFile(guestTemp.path + "\\t.tmp", "t");
    WriteWholeFile(guestTemp.path + "\\sub\\t.tmp", "t");
    HANDLE busy = Open(guestTemp.path + "\\busy.tmp");
    // The clipboard, and the administrator's command.
    ASSERT_TRUE(OpenClipboard(NULL) && EmptyClipboard());
    HGLOBAL text = GlobalAlloc(GMEM_FIXED, 8);
    lstrcpyA((char*)text, "secret");
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    std::string command = "cmd /c mkdir \"" + outside.File("ran") + "\"";
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "SessionCleanup", command.c_str());

    std::string problem;
    EXPECT_TRUE(Run(&problem));
    EXPECT_EQ("", problem);
    CloseHandle(busy);
    for (const char* name : added)
        EXPECT_FALSE(Exists(desktop.File(name))) << name;
    for (const char* name : { "Guest Folder", "outside.lnk" })
        EXPECT_FALSE(Exists(desktop.File(name))) << name;
    for (const std::string& name : { fills + "-guest", desktop.File("admin.txt."), desktop.File("admin.txt ") })
        EXPECT_FALSE(LongExists(name)) << name;
    for (const std::string& kept : { desktop.File("admin.txt"), desktop.File("Admin Folder\\doc.txt"),
                                     desktop.File("Admin Folder\\Sub"), fills, outside.File("keep.txt") })
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_FALSE(Exists(guestTemp.path + "\\t.tmp"));
    EXPECT_FALSE(Exists(guestTemp.path + "\\sub"));
    EXPECT_TRUE(Exists(guestTemp.path + "\\busy.tmp"));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(Exists(outside.File("ran"))) << "the command was waited for";
}

TEST_F(Reset, StopsAtTheFirstFileItCannotRemoveAndNamesIt)
{
    desktop.Write("admin.txt", "a");
    TakeDesktopBaseline();
    HANDLE inUse = Open(desktop.File("in use.doc"));
    std::string problem;
    EXPECT_FALSE(Run(&problem));
    CloseHandle(inUse);
    EXPECT_EQ(desktop.File("in use.doc"), problem);
    EXPECT_TRUE(Exists(desktop.File("admin.txt")));
}

TEST_F(Reset, WithoutABaselineOfThisDesktopFolderNothingThereIsDeleted)
{
    const struct { const char* why; std::string baselineOf; } cases[] = {
        { "no Desktop folder known at start-up", "" },
        { "another Desktop folder", outside.path },
    };
    for (const auto& c : cases) {
        UseDesktop(c.baselineOf);
        TakeDesktopBaseline();
        UseDesktop(desktop.path);
        desktop.Write("new.txt", "n");
        std::string problem;
        EXPECT_TRUE(Run(&problem)) << c.why;
        EXPECT_TRUE(Exists(desktop.File("new.txt"))) << c.why;
    }
}

// A program that closes when asked, and one that hangs (its thread
// suspended: the question never reaches it).
TEST_F(Reset, GuestWindowsCloseThoseThatStayAreEndedTheShellsOwnCloseByTheirCommands)
{
    InitCommonControls();
    ShellProcess polite, hung;
    polite.exePath = hung.exePath = ExeFolder() + "\\floor.exe";
    ASSERT_TRUE(polite.Start() && hung.Start());
    ASSERT_TRUE(polite.WaitForWindow("FloorWindow", "Floor") && hung.WaitForWindow("FloorWindow", "Floor"));
    SuspendThread(hung.info.hThread);
    HWND tip = OpenTipOfTheDay();
    HWND player = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MP3_PLAYER), NULL, Mp3PlayerDialog, 0);
    ShowWindow(player, SW_SHOWNORMAL);
    HWND administrator = MakeWindow("ResetTestOwn", DefWindowProcA, "Options", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(IsWindowVisible(tip) && IsWindowVisible(player));

    std::string problem;
    EXPECT_TRUE(Run(&problem));
    DWORD politeCode = 99, hungCode = 99;
    EXPECT_TRUE(polite.WaitForExit(5000, &politeCode) && politeCode == 0) << politeCode;
    EXPECT_TRUE(hung.WaitForExit(5000, &hungCode) && hungCode == 19) << "ended as the Task Manager ends one: " << hungCode;
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_FALSE(IsWindow(player));
    EXPECT_TRUE(IsWindowVisible(administrator)) << "the shell's other windows are left to it";
    DestroyWindow(administrator);
}

}  // namespace

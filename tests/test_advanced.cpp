// Advanced Options: the settings shown and stored, Set Path, the Browse buttons, the players.
#include "media/Media.h"
#include "app/App.h"
#include "admin/Admin.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <functional>

namespace {

const char ProductKey[] = "Software\\Hx_";
const char DialogTitle[] = "Advanced Options";

std::string Reg(const char* name) { return RegText(ProductKey, name); }

struct AdvancedFixture : ShellDialogTest {
    SavedValue mp3{HKEY_CURRENT_USER, ProductKey, "Mp3Path"};
    SavedValue movie{HKEY_CURRENT_USER, ProductKey, "DesktopMovie"};
    SavedValue html{HKEY_CURRENT_USER, ProductKey, "HTMLFile"};
    SavedValue extension{HKEY_CURRENT_USER, ProductKey, "DesktopExtension"};
    TempFolder folder;

    void SetUp() override
    {
        ShellDialogTest::SetUp();
        WindowsVersion = 510;
        InitMediaPlayers(NULL, AppInstance);
        for (const char* name : {"Mp3Path", "DesktopMovie", "HTMLFile", "DesktopExtension"})
            DeleteRegValue(HKEY_CURRENT_USER, ProductKey, name);
    }
    INT_PTR Run() { return RunDialog(IDD_ADVANCED_OPTIONS, AdvancedOptionsDialog, MainWindow); }
};

}  // namespace

TEST_F(AdvancedFixture, OpeningCreatesMissingValuesAndShowsThoseOfTwoCharacters)
{
    SetRegString(HKEY_CURRENT_USER, ProductKey, "Mp3Path", "C:\\MUSIC");
    SetRegString(HKEY_CURRENT_USER, ProductKey, "DesktopExtension", "X");
    std::string shownPath, shownExtension, shownMovie;
    WhenShown(DialogTitle, [&](HWND dialog) {
        shownPath = WindowText(GetDlgItem(dialog, IDC_ADVANCED_MP3_PATH));
        shownExtension = WindowText(GetDlgItem(dialog, IDC_ADVANCED_EXTENSION));
        shownMovie = WindowText(GetDlgItem(dialog, IDC_ADVANCED_MOVIE));
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, Run());
    EXPECT_EQ("C:\\MUSIC", shownPath);
    EXPECT_EQ("", shownExtension);
    EXPECT_EQ("", shownMovie);
    EXPECT_EQ("", Reg("DesktopMovie"));
    EXPECT_EQ("", Reg("HTMLFile"));
    EXPECT_EQ("X", Reg("DesktopExtension"));   // Close stores nothing
}

TEST_F(AdvancedFixture, OkStoresFiveCharactersOfThePatternInUpperCase)
{
    SetRegString(HKEY_CURRENT_USER, ProductKey, "DesktopMovie", "C:\\OLD.AVI");
    WhenShown(DialogTitle, [](HWND dialog) {
        HWND pattern = GetDlgItem(dialog, IDC_ADVANCED_EXTENSION);
        TypeText(pattern, "*.lnkxyz");
        SetWindowTextA(GetDlgItem(dialog, IDC_ADVANCED_MOVIE), "C:\\TYPED.AVI");
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(0, Run());
    EXPECT_EQ("*.LNK", Reg("DesktopExtension"));
    EXPECT_EQ("C:\\OLD.AVI", Reg("DesktopMovie"));   // from Windows 2000 on, OK leaves the movie alone
}

TEST_F(AdvancedFixture, BeforeWindows2000OkAlsoStoresTheMovieBox)
{
    WindowsVersion = 410;
    SetRegString(HKEY_CURRENT_USER, ProductKey, "DesktopMovie", "C:\\OLD.AVI");
    SetRegString(HKEY_CURRENT_USER, ProductKey, "DesktopExtension", "*.TXT");
    WhenShown(DialogTitle, [](HWND dialog) {
        SetWindowTextA(GetDlgItem(dialog, IDC_ADVANCED_MOVIE), "C:\\TYPED.AVI");
        SetWindowTextA(GetDlgItem(dialog, IDC_ADVANCED_EXTENSION), "");
        // Enter with no button focused acts as OK.
        HWND edit = GetDlgItem(dialog, IDC_ADVANCED_EXTENSION);
        SetFocus(edit);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    });
    EXPECT_EQ(0, Run());
    EXPECT_EQ("C:\\TYPED.AVI", Reg("DesktopMovie"));
    EXPECT_EQ("", Reg("DesktopExtension"));
}

TEST_F(AdvancedFixture, SetPathChecksTheFolderAndCloseKeepsIt)
{
    std::string warning, warningTitle, tooLong;
    WhenShown(DialogTitle, [&](HWND dialog) {
        HWND path = GetDlgItem(dialog, IDC_ADVANCED_MP3_PATH);
        SetWindowTextA(path, (folder.path + "\\missing").c_str());
        WhenShown("Halcyne 2.08", [&](HWND box) {
            warning = MessageBoxText(box);
            warningTitle = WindowText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        ClickButton(dialog, IDC_ADVANCED_SET_PATH);
        EXPECT_EQ("", Reg("Mp3Path"));
        // A real folder named by more characters than the store holds.
        std::string longPath = folder.path;
        while (longPath.size() < 257)
            longPath += "\\.";
        SetWindowTextA(path, longPath.c_str());
        AnswerBox("Halcyne 2.08", &tooLong);
        ClickButton(dialog, IDC_ADVANCED_SET_PATH);
        EXPECT_EQ("", Reg("Mp3Path"));
        SetWindowTextA(path, folder.path.c_str());
        ClickButton(dialog, IDC_ADVANCED_SET_PATH);
        // Escape acts as Close.
        SetFocus(path);
        PostMessageA(path, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    EXPECT_EQ(1, Run());
    EXPECT_EQ("Invalid Mp3 Directory !", warning);
    EXPECT_EQ("Halcyne 2.08", warningTitle);
    EXPECT_EQ("Path too long: it was not stored !", tooLong);
    // The box shows typed letters in upper case, and so the folder is stored.
    EXPECT_EQ(0, lstrcmpiA(folder.path.c_str(), Reg("Mp3Path").c_str())) << Reg("Mp3Path");
    EXPECT_NE(folder.path, Reg("Mp3Path"));
}

TEST_F(AdvancedFixture, BrowseStoresTheChosenFilesAndCancelKeepsTheOld)
{
    folder.Write("film.avi", "not really a film");
    folder.Write("page.htm", "<html></html>");
    SetCurrentDirectoryA(folder.path.c_str());
    std::string shownMovie, shownHtml, cancelledHtml;
    WhenShown(DialogTitle, [&](HWND dialog) {
        WhenShown("Choose Movie File", [&](HWND files) { EXPECT_TRUE(ChooseFile(files, folder.File("film.avi"))); });
        ClickButton(dialog, IDC_ADVANCED_BROWSE_MOVIE);
        shownMovie = WindowText(GetDlgItem(dialog, IDC_ADVANCED_MOVIE));
        WhenShown("Choose HTM/HTML File", [&](HWND files) { EXPECT_TRUE(ChooseFile(files, folder.File("page.htm"))); });
        ClickButton(dialog, IDC_ADVANCED_BROWSE_HTML);
        shownHtml = WindowText(GetDlgItem(dialog, IDC_ADVANCED_HTML));
        WhenShown("Choose HTM/HTML File", [](HWND files) { PostMessageA(files, WM_COMMAND, IDCANCEL, 0); });
        ClickButton(dialog, IDC_ADVANCED_BROWSE_HTML);
        cancelledHtml = WindowText(GetDlgItem(dialog, IDC_ADVANCED_HTML));
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, Run());
    SetCurrentDirectoryA(ExeFolder().c_str());
    EXPECT_EQ(folder.File("film.avi"), Reg("DesktopMovie"));
    EXPECT_EQ(folder.File("page.htm"), Reg("HTMLFile"));
    EXPECT_EQ(0, lstrcmpiA(folder.File("film.avi").c_str(), shownMovie.c_str())) << shownMovie;
    EXPECT_EQ(0, lstrcmpiA(folder.File("page.htm").c_str(), shownHtml.c_str())) << shownHtml;
    EXPECT_EQ(shownHtml, cancelledHtml);
}

TEST_F(AdvancedFixture, OpensTheMp3PlayerModallyAndTheMoviePlayer)
{
    bool playerSeen = false, stillOpenAfterPlayer = false;
    WhenShown(DialogTitle, [&](HWND dialog) {
        WhenShown("HX2 MP3 Player (F6)", [&](HWND player) {
            playerSeen = true;
            ClickButton(player, IDC_MP3_CLOSE);
        });
        ClickButton(dialog, IDC_ADVANCED_OPEN_MP3);   // returns when the player has closed
        stillOpenAfterPlayer = FindOwnWindow("#32770", "HX2 MP3 Player (F6)") == NULL;
        ClickButton(dialog, IDC_ADVANCED_OPEN_MOVIE);
        ClickButton(dialog, IDCANCEL);
    });
    Run();
    EXPECT_TRUE(playerSeen);
    EXPECT_TRUE(stillOpenAfterPlayer);
    ASSERT_TRUE(IsWindowVisible(MovieWindow));
    RECT rect;
    GetWindowRect(MovieWindow, &rect);
    EXPECT_EQ(ScreenSize.width - 211, rect.left);
    EXPECT_EQ(211, rect.right - rect.left);
    ClickButton(MovieWindow, IDC_MOVIE_CLOSE);
}

TEST(AdvancedShell, FromTheOptionsPanelOkStoresThePattern)
{
    SavedValue extension(HKEY_CURRENT_USER, ProductKey, "DesktopExtension");
    SavedValue mp3(HKEY_CURRENT_USER, ProductKey, "Mp3Path");
    PanelShell run;
    SetRegString(HKEY_CURRENT_USER, ProductKey, "Mp3Path", run.desktop.path.c_str());
    HWND panel = run.OpenPanel();
    ASSERT_NE(nullptr, panel);
    PostButtonClick(panel, IDC_PANEL_ADVANCED);
    HWND advanced = run.shell.WaitForWindow("#32770", DialogTitle);
    ASSERT_NE(nullptr, advanced);
    // The field shows what it holds in capitals.
    EXPECT_EQ(0, lstrcmpiA(run.desktop.path.c_str(), WindowText(GetDlgItem(advanced, IDC_ADVANCED_MP3_PATH)).c_str()));
    SendMessageA(GetDlgItem(advanced, IDC_ADVANCED_EXTENSION), WM_SETTEXT, 0, (LPARAM)"*.lnk");
    EXPECT_EQ("*.LNK", WindowText(GetDlgItem(advanced, IDC_ADVANCED_EXTENSION)));
    PostButtonClick(advanced, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(advanced); }));
    EXPECT_EQ("*.LNK", Reg("DesktopExtension"));
    EXPECT_TRUE(IsWindowVisible(panel));
    PostButtonClick(panel, 1010);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(panel); }));
}

// The MP3 player dialog: listing, playing in turn, pause, stop, sliders, several players.
#include "media/Media.h"
#include "app/App.h"
#include "res/resource.h"
#include "support/MediaSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

const char ProductKey[] = "Software\\Hx_";

struct Mp3Fixture : ::testing::Test {
    TempFolder folder;
    SavedValue savedPath{HKEY_CURRENT_USER, ProductKey, "Mp3Path"};
    Mp3AsWaveAudio wave;
    HWND main = NULL;

    void SetUp() override
    {
        InitCommonControls();
        AppInstance = GetModuleHandleA(NULL);
        main = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, NULL, NULL, AppInstance, NULL);
        InitMediaPlayers(main, AppInstance);
        ForgetTracks();
        SetRegString(HKEY_CURRENT_USER, ProductKey, "Mp3Path", folder.path.c_str());
    }
    void TearDown() override
    {
        StopAndClose(&Mp3Media);
        DestroyWindow(main);
    }
    HWND OpenPlayer()
    {
        HWND player = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MP3_PLAYER), NULL, Mp3PlayerDialog, 0);
        ShowWindow(player, SW_SHOWNORMAL);
        return player;
    }
    // Silent tracks of the given lengths in the folder.
    void WriteTracks(std::initializer_list<std::pair<const char*, DWORD>> tracks) const
    {
        for (const auto& track : tracks)
            WriteWaveFile(folder.File(track.first), track.second);
    }
    static LRESULT Listed(HWND player) { return SendDlgItemMessageA(player, IDC_MP3_LIST, LB_GETCOUNT, 0, 0); }
    // PLAY starts nothing; then the player closes.
    static void PlaysNothing(HWND player)
    {
        ClickButton(player, IDC_MP3_PLAY);
        EXPECT_EQ(nullptr, Mp3Media.window);
        EXPECT_EQ(0, Mp3Media.state);
        ClickButton(player, IDC_MP3_CLOSE);
    }
    static int Selection(HWND player)
    {
        return (int)SendDlgItemMessageA(player, IDC_MP3_LIST, LB_GETCURSEL, 0, 0);
    }
    static std::string Item(HWND player, int index)
    {
        char text[MAX_PATH] = "";
        SendDlgItemMessageA(player, IDC_MP3_LIST, LB_GETTEXT, index, (LPARAM)text);
        return text;
    }
    static void Release(HWND player, int slider)
    {
        NMHDR header = {GetDlgItem(player, slider), (UINT_PTR)slider, (UINT)NM_RELEASEDCAPTURE};
        SendMessageA(player, WM_NOTIFY, slider, (LPARAM)&header);
    }
};

}  // namespace

TEST_F(Mp3Fixture, ListsTheFolderSortedWithTheSlidersReady)
{
    WriteTracks({{"b tune.mp3", 1000}, {"a tune.mp3", 1000}, {"C.MP3", 1000}});
    folder.Write("notes.txt", "not music");
    HWND player = OpenPlayer();
    ASSERT_NE(nullptr, player);
    EXPECT_EQ("HX2 MP3 Player (F6)", WindowText(player));
    EXPECT_EQ(3, GetTrackCount());
    ASSERT_EQ(3, Listed(player));
    EXPECT_EQ("a tune.mp3", Item(player, 0));
    EXPECT_EQ("b tune.mp3", Item(player, 1));
    EXPECT_EQ("C.MP3", Item(player, 2));
    EXPECT_EQ(0, Selection(player));
    EXPECT_EQ(1, SendDlgItemMessageA(player, IDC_MP3_VOLUME, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(1000, SendDlgItemMessageA(player, IDC_MP3_VOLUME, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(500, SendDlgItemMessageA(player, IDC_MP3_VOLUME, TBM_GETPOS, 0, 0));
    LONG style = GetWindowLongA(player, GWL_STYLE);
    EXPECT_EQ(0, style & WS_SYSMENU);   // CLOSE is the only way out
    ClickButton(player, IDC_MP3_CLOSE);
    EXPECT_FALSE(IsWindow(player));
}

TEST_F(Mp3Fixture, PlaysTheFilesInTurnAndStartsAgainWithTheFirst)
{
    WriteTracks({{"1.mp3", 800}, {"2.mp3", 800}, {"3.mp3", 800}});
    HWND player = OpenPlayer();
    SendDlgItemMessageA(player, IDC_MP3_LIST, LB_SETCURSEL, 1, 0);
    ClickButton(player, IDC_MP3_PLAY);
    EXPECT_EQ(1, GetCurrentTrack());
    EXPECT_EQ(1, Mp3Media.state);
    ASSERT_NE(nullptr, Mp3Media.window);
    EXPECT_EQ(player, GetParent(Mp3Media.window));
    for (int expected : {2, 0, 1}) {
        ASSERT_TRUE(WaitFor([&] { return GetCurrentTrack() == expected; }, 15000)) << "waiting for " << expected;
        EXPECT_EQ(expected, Selection(player));
        EXPECT_EQ(1, Mp3Media.state);
    }
    ClickButton(player, IDC_MP3_CLOSE);
    EXPECT_EQ(0, Mp3Media.state);
    EXPECT_EQ(nullptr, Mp3Media.window);
}

TEST_F(Mp3Fixture, PlayWhilePausedResumesAndStopThenPlayStartsAfresh)
{
    WriteTracks({{"long.mp3", 60000}, {"other.mp3", 60000}});
    HWND player = OpenPlayer();
    ClickButton(player, IDC_MP3_PLAY);
    HWND first = Mp3Media.window;
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(60, SendDlgItemMessageA(player, IDC_MP3_POSITION, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(1, SendDlgItemMessageA(player, IDC_MP3_POSITION, TBM_GETPOS, 0, 0));

    ClickButton(player, IDC_MP3_PAUSE);
    EXPECT_EQ(2, Mp3Media.state);
    SendDlgItemMessageA(player, IDC_MP3_LIST, LB_SETCURSEL, 1, 0);
    ClickButton(player, IDC_MP3_PLAY);
    EXPECT_EQ(first, Mp3Media.window);   // the paused file goes on
    EXPECT_EQ(1, Mp3Media.state);
    EXPECT_EQ(1, GetCurrentTrack());
    // Also when the selected name would make the path too long.
    ClickButton(player, IDC_MP3_PAUSE);
    std::string longName(255, 'z');
    LRESULT at = SendDlgItemMessageA(player, IDC_MP3_LIST, LB_ADDSTRING, 0, (LPARAM)longName.c_str());
    SendDlgItemMessageA(player, IDC_MP3_LIST, LB_SETCURSEL, at, 0);
    ClickButton(player, IDC_MP3_PLAY);
    EXPECT_EQ(first, Mp3Media.window);
    EXPECT_EQ(1, Mp3Media.state);
    SendDlgItemMessageA(player, IDC_MP3_LIST, LB_DELETESTRING, at, 0);
    SendDlgItemMessageA(player, IDC_MP3_LIST, LB_SETCURSEL, 1, 0);

    ClickButton(player, IDC_MP3_STOP);
    EXPECT_EQ(0, Mp3Media.state);
    EXPECT_EQ(nullptr, Mp3Media.window);
    EXPECT_EQ(2, Listed(player));   // the list stays
    ClickButton(player, IDC_MP3_PLAY);
    ASSERT_NE(nullptr, Mp3Media.window);
    EXPECT_LT(GetMediaPosition(&Mp3Media), 5000);
    ClickButton(player, IDC_MP3_CLOSE);
}

TEST_F(Mp3Fixture, SlidersActWhenReleased)
{
    WriteWaveFile(folder.File("long.mp3"), 60000);
    HWND player = OpenPlayer();
    ClickButton(player, IDC_MP3_PLAY);
    ASSERT_NE(nullptr, Mp3Media.window);

    SendDlgItemMessageA(player, IDC_MP3_VOLUME, TBM_SETPOS, TRUE, 1);
    EXPECT_EQ(500, Mp3Media.volume);   // moving alone changes nothing
    Release(player, IDC_MP3_VOLUME);
    EXPECT_EQ(1000, Mp3Media.volume);
    SendDlgItemMessageA(player, IDC_MP3_VOLUME, TBM_SETPOS, TRUE, 1000);
    Release(player, IDC_MP3_VOLUME);
    EXPECT_EQ(1, Mp3Media.volume);

    ClickButton(player, IDC_MP3_PAUSE);
    SendDlgItemMessageA(player, IDC_MP3_POSITION, TBM_SETPOS, TRUE, 42);
    Release(player, IDC_MP3_POSITION);
    EXPECT_EQ(1, Mp3Media.state);   // seeking plays, even from a pause
    EXPECT_GE(GetMediaPosition(&Mp3Media), 42000);
    EXPECT_LT(GetMediaPosition(&Mp3Media), 55000);
    ClickButton(player, IDC_MP3_CLOSE);
}

TEST_F(Mp3Fixture, TwoPlayersMoveOnOnce)
{
    WriteTracks({{"1.mp3", 600}, {"2.mp3", 60000}, {"3.mp3", 600}});
    HWND one = OpenPlayer();
    HWND two = OpenPlayer();
    MoveWindow(two, 400, 0, 300, 400, TRUE);
    ClickButton(one, IDC_MP3_PLAY);
    ASSERT_TRUE(WaitFor([] { return GetCurrentTrack() != 0; }, 15000));
    EXPECT_EQ(1, GetCurrentTrack());
    EXPECT_TRUE(Holds([] { return GetCurrentTrack() == 1; }, 2500));   // both timers tick meanwhile
    EXPECT_TRUE(Selection(one) == 1 || Selection(two) == 1);
    ClickButton(two, IDC_MP3_CLOSE);   // closing one player stops the music of all
    EXPECT_EQ(0, Mp3Media.state);
    ClickButton(one, IDC_MP3_CLOSE);
}

TEST_F(Mp3Fixture, NothingPlaysWithoutAFolderOrFiles)
{
    HWND empty = OpenPlayer();
    EXPECT_EQ(0, Listed(empty));
    PlaysNothing(empty);

    WriteWaveFile(folder.File("song.mp3"), 1000);
    SetRegString(HKEY_CURRENT_USER, ProductKey, "Mp3Path", (folder.path + "\\missing").c_str());
    // The listing then comes from the current folder; PLAY checks the folder first.
    SetCurrentDirectoryA(folder.path.c_str());
    HWND player = OpenPlayer();
    EXPECT_EQ(1, Listed(player));
    PlaysNothing(player);
    SetCurrentDirectoryA(ExeFolder().c_str());
}

TEST_F(Mp3Fixture, ModalFromAdvancedOptionsEndsWithClose)
{
    WriteWaveFile(folder.File("tune.mp3"), 1000);
    struct Closer {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            HWND player = FindOwnWindow("#32770", "HX2 MP3 Player (F6)");
            if (!player)
                return;
            KillTimer(NULL, id);
            ClickButton(player, IDC_MP3_PLAY);
            ClickButton(player, IDC_MP3_CLOSE);
        }
    };
    UINT_PTR timer = SetTimer(NULL, 0, 200, Closer::Tick);
    EXPECT_EQ(1, RunMp3PlayerModal(NULL));
    KillTimer(NULL, timer);
    EXPECT_EQ(0, Mp3Media.state);
    EXPECT_EQ(nullptr, FindOwnWindow("#32770", "HX2 MP3 Player (F6)"));
}

// A real MP3 file through the platform's MPEG device: opens, plays, pauses, resumes.
TEST(Mp3RealFile, OpensPlaysPausesAndResumes)
{
    TempFolder folder;
    SavedValue savedPath(HKEY_CURRENT_USER, ProductKey, "Mp3Path");
    CopyFileA(SampleMedia("tone.mp3").c_str(), folder.File("tone.mp3").c_str(), FALSE);
    SetRegString(HKEY_CURRENT_USER, ProductKey, "Mp3Path", folder.path.c_str());
    InitCommonControls();
    AppInstance = GetModuleHandleA(NULL);
    InitMediaPlayers(NULL, AppInstance);
    MciErrorCloser errors;
    HWND player = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MP3_PLAYER), NULL, Mp3PlayerDialog, 0);
    ClickButton(player, IDC_MP3_PLAY);
    if (GetMediaLength(&Mp3Media) == 0) {
        ClickButton(player, IDC_MP3_CLOSE);
        GTEST_SKIP() << "this machine's media device cannot open MP3 files (closed " << errors.closed
                     << " error boxes)";
    }
    EXPECT_GE(GetMediaLength(&Mp3Media), 3900);
    EXPECT_LE(GetMediaLength(&Mp3Media), 4200);
    EXPECT_TRUE(WaitFor([] { return GetMediaPosition(&Mp3Media) > 300; }, 5000));
    ClickButton(player, IDC_MP3_PAUSE);
    EXPECT_EQ(2, Mp3Media.state);
    LONG paused = GetMediaPosition(&Mp3Media);
    EXPECT_TRUE(Holds([&] { return GetMediaPosition(&Mp3Media) - paused < 200; }, 500));
    ClickButton(player, IDC_MP3_PLAY);
    EXPECT_EQ(1, Mp3Media.state);
    EXPECT_TRUE(WaitFor([&] { return GetMediaPosition(&Mp3Media) > paused + 200; }, 5000));
    ClickButton(player, IDC_MP3_CLOSE);
}

// The media records over the media control window: state table, message order,
// the volume carried to the next window, real playing.
#include "media/Media.h"
#include "support/MediaSupport.h"
#include <gtest/gtest.h>
#include <vfw.h>
#include <vector>

namespace {

struct Recorded {
    HWND window;
    UINT message;
    LPARAM lParam;
};
std::vector<Recorded> Messages;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER || message == WM_CLOSE)
        Messages.push_back({window, message, lParam});
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window that records what a media record sends it, standing in for the media window.
HWND RecordingWindow() { return MakeWindow("RecordingMediaWindow", RecordingProc, "", WS_POPUP); }

void ExpectMessages(const std::vector<std::pair<UINT, LPARAM>>& expected, int line)
{
    SCOPED_TRACE(line);
    ASSERT_EQ(expected.size(), Messages.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(expected[i].first, Messages[i].message) << "message " << i;
        EXPECT_EQ(expected[i].second, Messages[i].lParam) << "message " << i;
    }
    Messages.clear();
}

HWND Parent()
{
    return CreateWindowExA(0, "STATIC", "media parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

// The records set up over a parent window of their own, with silent wave
// files to play; whatever plays is stopped at the end of scope.
struct WaveInParent {
    TempFolder folder;
    HWND parent = Parent();
    WaveInParent() { InitMediaPlayers(parent, GetModuleHandleA(NULL)); }
    ~WaveInParent()
    {
        StopAndClose(&Mp3Media);
        DestroyWindow(parent);
    }
    std::string Wave(const char* name, DWORD milliseconds) const
    {
        WriteWaveFile(folder.File(name), milliseconds);
        return folder.File(name);
    }
};

}  // namespace

TEST(MediaRecords, StartStoppedWithoutWindowAtVolume500)
{
    Mp3Media.state = 2;
    MovieMedia.window = (HWND)1;
    HWND main = Parent();
    InitMediaPlayers(main, GetModuleHandleA(NULL));
    for (MediaPlayer* player : {&Mp3Media, &MovieMedia}) {
        EXPECT_EQ(0, player->state);
        EXPECT_EQ(500, player->volume);
        EXPECT_EQ(nullptr, player->window);
        EXPECT_EQ(main, player->parent);
        EXPECT_EQ(GetModuleHandleA(NULL), player->instance);
    }
    DestroyWindow(main);
}

TEST(MediaRecords, OperationsSendTheirMessagesInOrder)
{
    InitMediaPlayers(NULL, GetModuleHandleA(NULL));
    HWND media = RecordingWindow();
    MediaPlayer player = Mp3Media;
    player.window = media;

    SetMediaVolume(&player, 777);
    ExpectMessages({{MCIWNDM_SETVOLUME, 777}}, __LINE__);
    EXPECT_EQ(777, player.volume);

    EXPECT_EQ(1, SeekAndPlay(&player, 42000));
    ExpectMessages({{MCI_SEEK, 42000}, {MCI_PLAY, 0}}, __LINE__);
    EXPECT_EQ(1, player.state);

    PauseMedia(&player);
    ExpectMessages({{MCI_PAUSE, 0}}, __LINE__);
    EXPECT_EQ(2, player.state);

    SetMediaZoom(&player, 99);
    ExpectMessages({{MCIWNDM_SETZOOM, 99}}, __LINE__);

    GetMediaPosition(&player);
    GetMediaLength(&player);
    ExpectMessages({{MCIWNDM_GETPOSITIONA, 0}, {MCIWNDM_GETLENGTH, 0}}, __LINE__);
    EXPECT_EQ(media, GetMediaWindow(&player));

    // Paused with a window: the paused media goes on, the file name is not used.
    EXPECT_TRUE(OpenAndPlay("Z:\\nowhere\\ignored.mp3", &player));
    ExpectMessages({{MCI_RESUME, 0}}, __LINE__);
    EXPECT_EQ(1, player.state);
    EXPECT_EQ(media, player.window);

    EXPECT_TRUE(StopAndClose(&player));
    ExpectMessages({{MCI_STOP, 0}, {WM_CLOSE, 0}}, __LINE__);
    EXPECT_EQ(0, player.state);
    EXPECT_EQ(nullptr, player.window);
    EXPECT_FALSE(IsWindow(media));
}

TEST(MediaRecords, WithoutWindowOnlyTheStateAndVolumeChange)
{
    InitMediaPlayers(NULL, GetModuleHandleA(NULL));
    MediaPlayer player = Mp3Media;
    EXPECT_TRUE(StopAndClose(&player));
    EXPECT_EQ(0, player.state);
    EXPECT_EQ(0, SetMediaVolume(&player, 321));
    EXPECT_EQ(321, player.volume);
    EXPECT_EQ(1, SeekAndPlay(&player, 5000));
    EXPECT_EQ(1, player.state);
    PauseMedia(&player);
    EXPECT_EQ(2, player.state);
    EXPECT_EQ(0, GetMediaPosition(&player));
    EXPECT_EQ(0, GetMediaLength(&player));
    EXPECT_EQ(nullptr, player.window);
}

TEST(MediaRecords, PlayingAnotherFileClosesTheOldWindowAndKeepsTheVolume)
{
    WaveInParent media;
    std::string firstFile = media.Wave("first.wav", 3000), secondFile = media.Wave("second.wav", 2000);
    SetMediaVolume(&Mp3Media, 250);

    ASSERT_TRUE(OpenAndPlay(firstFile.c_str(), &Mp3Media));
    HWND first = Mp3Media.window;
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(1, Mp3Media.state);
    EXPECT_EQ(media.parent, GetParent(first));
    EXPECT_EQ((LONG)MediaWindowStyle, GetWindowLongA(first, GWL_STYLE) & (LONG)MediaWindowStyle);
    EXPECT_EQ(3000, GetMediaLength(&Mp3Media));
    EXPECT_EQ(250, Mp3Media.volume);

    // Playing: the old window goes, the new file starts from its beginning.
    ASSERT_TRUE(OpenAndPlay(secondFile.c_str(), &Mp3Media));
    EXPECT_FALSE(IsWindow(first));
    ASSERT_NE(nullptr, Mp3Media.window);
    EXPECT_EQ(2000, GetMediaLength(&Mp3Media));
    EXPECT_EQ(250, Mp3Media.volume);
    EXPECT_EQ(1, Mp3Media.state);

    StopAndClose(&Mp3Media);
    EXPECT_EQ(nullptr, Mp3Media.window);
}

TEST(MediaRecords, TheEndIsSeenWhenTheWindowStopsByItself)
{
    WaveInParent media;
    ASSERT_TRUE(OpenAndPlay(media.Wave("short.wav", 500).c_str(), &Mp3Media));
    EXPECT_TRUE(WaitFor([] { return MediaReachedEnd(&Mp3Media) != FALSE; }, 10000));
    EXPECT_EQ(1, Mp3Media.state);   // the record still reads playing
    StopAndClose(&Mp3Media);
    EXPECT_FALSE(MediaReachedEnd(&Mp3Media));
}

// A file that opens but stops at once without playing (a busy device, a
// missing codec) is no end: the player would skip through the whole folder.
TEST(MediaRecords, AWindowStoppedBeforePlayingIsNoEnd)
{
    WaveInParent media;
    ASSERT_TRUE(OpenAndPlay(media.Wave("long.wav", 3000).c_str(), &Mp3Media));
    SendMessageA(Mp3Media.window, MCI_STOP, 0, 0);
    SendMessageA(Mp3Media.window, MCI_SEEK, 0, MCIWND_START);
    EXPECT_EQ(0, GetMediaPosition(&Mp3Media));
    EXPECT_FALSE(MediaReachedEnd(&Mp3Media));
}

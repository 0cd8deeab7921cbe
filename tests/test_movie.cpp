// The movie player: placement, sizing to the movie, refusal while the MP3 player plays.
#include "media/Media.h"
#include "app/App.h"
#include "res/resource.h"
#include "support/MediaSupport.h"
#include <gtest/gtest.h>

namespace {

const char ProductKey[] = "Software\\Hx_";
const char MovieTitle[] = "Tavix Home Theatre (F7)";

struct MovieFixture : ::testing::Test {
    SavedValue savedMovie{HKEY_CURRENT_USER, ProductKey, "DesktopMovie"};
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(NULL);
        ScreenSize.width = (short)GetSystemMetrics(SM_CXSCREEN);
        ScreenSize.height = (short)GetSystemMetrics(SM_CYSCREEN);
        InitMediaPlayers(NULL, AppInstance);
        MovieWindow = NULL;
        SetRegString(HKEY_CURRENT_USER, ProductKey, "DesktopMovie", SampleMedia("movie320x240.avi").c_str());
    }
    void TearDown() override
    {
        if (IsWindow(MovieWindow))
            ClickButton(MovieWindow, IDC_MOVIE_CLOSE);
    }
    static RECT Bounds(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }
    // A control's place in its dialog's client area.
    static RECT ClientBounds(HWND control)
    {
        RECT rect = Bounds(control);
        MapWindowPoints(NULL, GetParent(control), (POINT*)&rect, 2);
        return rect;
    }
};

}  // namespace

TEST_F(MovieFixture, OpensOnceInTheTopRightCorner)
{
    OpenMoviePlayer();
    HWND first = MovieWindow;
    ASSERT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(MovieTitle, WindowText(first));
    EXPECT_TRUE(Placed(first, ScreenSize.width - 211, 0, 211, 220));
    EXPECT_EQ(0, GetWindowLongA(first, GWL_STYLE) & WS_SYSMENU);

    OpenMoviePlayer();   // visible already: nothing happens
    EXPECT_EQ(first, MovieWindow);
    EXPECT_EQ(first, FindOwnWindow("#32770", MovieTitle));

    ClickButton(first, IDC_MOVIE_CLOSE);
    EXPECT_FALSE(IsWindow(first));
    OpenMoviePlayer();
    EXPECT_NE(nullptr, MovieWindow);
    EXPECT_TRUE(IsWindowVisible(MovieWindow));
    EXPECT_EQ(211, Bounds(MovieWindow).right - Bounds(MovieWindow).left);
}

TEST_F(MovieFixture, PlaySizesTheWindowToTheMovie)
{
    OpenMoviePlayer();
    ClickButton(MovieWindow, IDC_MOVIE_PLAY);
    ASSERT_NE(nullptr, MovieMedia.window);
    EXPECT_EQ(MovieWindow, GetParent(MovieMedia.window));
    EXPECT_EQ(1, MovieMedia.state);
    EXPECT_EQ(1000, MovieMedia.volume);
    EXPECT_TRUE(Placed(MovieWindow, ScreenSize.width - 320, 0, 320, 291));
    RECT play = ClientBounds(GetDlgItem(MovieWindow, IDC_MOVIE_PLAY));
    EXPECT_TRUE(Placed(ClientBounds(GetDlgItem(MovieWindow, IDC_MOVIE_CLOSE)), 20, 240, 30, 20));
    EXPECT_EQ(60, play.left);
    EXPECT_EQ(240, play.top);
    // Zoomed to 99 percent, inside the area the window was sized for.
    RECT movie;
    GetClientRect(MovieMedia.window, &movie);
    EXPECT_LE(movie.right, 320);
    EXPECT_LE(movie.bottom, 240);
    EXPECT_GE(movie.right, 310);
    EXPECT_TRUE(WaitFor([] { return GetMediaPosition(&MovieMedia) > 0; }));

    // Play again while playing: the movie starts again from its beginning.
    HWND firstMedia = MovieMedia.window;
    ClickButton(MovieWindow, IDC_MOVIE_PLAY);
    EXPECT_NE(firstMedia, MovieMedia.window);
    EXPECT_FALSE(IsWindow(firstMedia));

    StopMovie();
    EXPECT_EQ(0, MovieMedia.state);
    EXPECT_EQ(nullptr, MovieMedia.window);
}

TEST_F(MovieFixture, RefusesWhileTheMp3PlayerPlaysOrIsPaused)
{
    OpenMoviePlayer();
    for (BYTE state : {1, 2}) {
        Mp3Media.state = state;
        ClickButton(MovieWindow, IDC_MOVIE_PLAY);
        EXPECT_EQ(nullptr, MovieMedia.window) << "MP3 state " << (int)state;
        EXPECT_EQ(0, MovieMedia.state);
        EXPECT_EQ(MovieWindow, MovieMedia.parent);
        EXPECT_EQ(211, Bounds(MovieWindow).right - Bounds(MovieWindow).left);
    }
    Mp3Media.state = 0;
    ClickButton(MovieWindow, IDC_MOVIE_PLAY);
    EXPECT_NE(nullptr, MovieMedia.window);
}

TEST(MovieShell, F7OpensOneWindowInTheCorner)
{
    SavedValue savedMovie(HKEY_CURRENT_USER, ProductKey, "DesktopMovie");
    DesktopShell run;
    ASSERT_TRUE(run.Start());
    PostKey(run.main, VK_F7);
    HWND movie = run.shell.WaitForWindow("#32770", MovieTitle);
    ASSERT_NE(nullptr, movie);
    EXPECT_TRUE(Placed(movie, GetSystemMetrics(SM_CXSCREEN) - 211, 0, 211, 220));
    PostKey(run.main, VK_F7);
    EXPECT_TRUE(Holds([&] {
        int count = 0;
        for (HWND window : run.shell.Windows("#32770"))
            count += WindowText(window) == MovieTitle;
        return count == 1;
    }, 800));
}

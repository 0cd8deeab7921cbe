// Helpers of the look tests: what a window shows on the screen, pixel by pixel.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A copy of a window's whole rectangle (caption and frame included). Windows of
// this process are read from their own surface, others from the screen.
struct WindowPixels {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const;
    // Pixels within `tolerance` per channel of `colour` inside the rectangle.
    int Count(int left, int top, int right, int bottom, COLORREF colour, int tolerance = 0) const;
};
WindowPixels GrabWindow(HWND window);

// Client-area origin of a window in its own window coordinates.
POINT ClientOrigin(HWND window);

// Pixels of the heading colour in the top 45 pixels of a dialog's client area.
int HeadingPixels(HWND dialog, COLORREF colour);

// Under Wine's virtual desktop, decorated top-level windows leave caption and
// frame to a window manager that is not there: nothing painted in them reaches
// the screen. With "Decorated" = "N" for a program, Wine draws frames itself,
// as Windows does. Set for one exe while this lives; read when it starts.
struct WineDrawnFrames {
    std::string key;
    bool keyExisted = false;
    bool exeKeyExisted = false;
    explicit WineDrawnFrames(const char* exeName);
    ~WineDrawnFrames();
};

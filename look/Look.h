// The painted look that every dialog and the main window share, the About box
// and the tip of the day.
#pragma once
#include <windows.h>

extern HBRUSH FaceBrush;
extern HBRUSH AccentBrush;
extern HFONT SmallFont;
extern HFONT HeadingFont;

struct DialogLookRecord {
    BYTE Animate;
    BYTE OwnerDrawButtons;
    BYTE CustomCaption;
    BYTE AccentStatics;
    const char* HeadingText;
    COLORREF HeadingColour;
    HBRUSH DialogBrush;
    const char* CaptionText;
    COLORREF FrameColour;
    COLORREF InactiveColour;
    COLORREF InactiveTextColour;
    COLORREF CaptionTextColour;
    COLORREF CaptionColour;
    HBRUSH ButtonBrush;
    COLORREF ButtonColour;
    COLORREF ButtonPressedColour;
    HFONT ButtonFont;
    HBRUSH AccentBrush;
    COLORREF AccentTextColour;
};
extern DialogLookRecord DialogLook;

// The value of PaintCaption's animate argument that asks for the opening animation.
enum { LOOK_ANIMATE = 0x101 };
// AnimateWindow, looked up at run time (Windows 95 and NT 4 lack it); null when absent.
typedef BOOL(WINAPI* AnimateWindowProc)(HWND window, DWORD time, DWORD flags);
extern AnimateWindowProc AnimateWindowEntry;

void CreateLookObjects();
void InitDialogLook();
LRESULT HandleDialogLook(DialogLookRecord* look, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HandleFrameLook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DialogLookRecord* look);
BOOL PaintCaption(HWND hwnd, BYTE active, UINT animate, const char* text, COLORREF frameColour,
                  COLORREF captionColour, COLORREF textColour, COLORREF inactiveColour,
                  COLORREF inactiveTextColour);
BOOL ResolveAnimateWindow();
void RepaintActiveCaption(HWND hwnd, DialogLookRecord* look);
void InvalidateClient(HWND hwnd);
int DrawItemButton(const DRAWITEMSTRUCT* drawItem, COLORREF colour, COLORREF pressedColour, HFONT font);
void DrawLookButton(HWND button, COLORREF colour, HFONT font, BOOL raised);
void PaintHeading(HWND hwnd, const char* text, COLORREF colour);
void StretchBitmap(HDC dc, HBITMAP bitmap, short x, short y, short height, LONG width, DWORD rop);
// The main window's release of the look's brush and fonts.
void ReleaseLookObjects();

// About and Tip of the Day.
extern BYTE TipIndex;   // string-table number of the tip shown last, 1 to 8
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TipProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowTipAtStartup();
HWND OpenTipOfTheDay();

// The painted look that every dialog and the main window share, the About box
// and the tip of the day.
#pragma once
#include <windows.h>
#include <commdlg.h>

// The look's own brushes and fonts, made before the entry routine runs.
HBRUSH GetFaceBrush();
HBRUSH GetAccentBrush();
HFONT GetSmallFont();
HFONT GetHeadingFont();

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
AnimateWindowProc GetAnimateWindowEntry();

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
void StretchBitmap(HDC dc, HBITMAP bitmap, short x, short y, short height, LONG width, DWORD rop);
// The main window's release of the look's brush and fonts.
void ReleaseLookObjects();

// The open-file dialog's record as every chooser starts it (fileName holds
// MAX_PATH characters), and the dialog itself, COMDLG32 loaded on first use.
void InitOpenFileRecord(OPENFILENAMEA* record, char* fileName, const char* filter, const char* title);
BOOL ShowOpenFileDialog(OPENFILENAMEA* record);

// About and Tip of the Day.
// The string-table number of the tip shown last, 1 to 8.
BYTE GetTipIndex();
void SetTipIndex(BYTE index);
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowTipAtStartup();
HWND OpenTipOfTheDay();

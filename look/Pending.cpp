// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "look/Look.h"

HBRUSH FaceBrush = CreateSolidBrush(0xD8E9EC);
HBRUSH AccentBrush = CreateSolidBrush(0xC08000);
HFONT SmallFont;
HFONT HeadingFont;
DialogLookRecord DialogLook;
void CreateLookObjects() {}
void InitDialogLook() {}
LRESULT HandleDialogLook(DialogLookRecord*, HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT HandleFrameLook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DialogLookRecord*)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
BOOL PaintCaption(HWND, BYTE, UINT, const char*, COLORREF, COLORREF, COLORREF, COLORREF, COLORREF) { return TRUE; }
BOOL ResolveAnimateWindow() { return FALSE; }
void RepaintActiveCaption(HWND, DialogLookRecord*) {}
void InvalidateClient(HWND) {}
int DrawItemButton(const DRAWITEMSTRUCT*, COLORREF, COLORREF, HFONT) { return 0; }
void DrawLookButton(HWND, COLORREF, HFONT, BOOL) {}
void PaintHeading(HWND, const char*, COLORREF) {}
INT_PTR CALLBACK AboutProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK TipProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
void ShowTipAtStartup() {}
HWND OpenTipOfTheDay() { return 0; }

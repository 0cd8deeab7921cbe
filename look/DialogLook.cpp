// The painted look of every dialog and of the main window: face and accent
// brushes, the caption band and frame, headings and owner-drawn buttons.
#include "look/Look.h"

static HBRUSH FaceBrush;
static HBRUSH AccentBrush;
static HFONT SmallFont;
static HFONT HeadingFont;
DialogLookRecord DialogLook;
static AnimateWindowProc AnimateWindowEntry;

HBRUSH GetFaceBrush() { return FaceBrush; }
HBRUSH GetAccentBrush() { return AccentBrush; }
HFONT GetSmallFont() { return SmallFont; }
HFONT GetHeadingFont() { return HeadingFont; }
AnimateWindowProc GetAnimateWindowEntry() { return AnimateWindowEntry; }

static void CreateLookObjects()
{
    AccentBrush = CreateSolidBrush(0xC08000);
    FaceBrush = CreateSolidBrush(0xD8E9EC);
    SmallFont = CreateFontA(16, 5, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, "Times");
    HeadingFont = CreateFontA(32, 8, 0, 0, FW_DONTCARE, TRUE, TRUE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

// The main window's class needs FaceBrush before the entry routine runs, so
// the look objects are made while the process initialises its globals.
namespace {
struct LookObjectsAtStart {
    LookObjectsAtStart() { CreateLookObjects(); }
};
LookObjectsAtStart lookObjectsAtStart;
}

void InitDialogLook()
{
    DialogLook.Animate = 1;
    DialogLook.OwnerDrawButtons = 0;
    DialogLook.CustomCaption = 1;
    DialogLook.AccentStatics = 0;
    DialogLook.HeadingText = "Title";
    DialogLook.HeadingColour = 0xC08000;
    DialogLook.DialogBrush = FaceBrush;
    DialogLook.CaptionText = NULL;
    DialogLook.FrameColour = 0x7F3F00;
    DialogLook.InactiveColour = 0x808080;
    DialogLook.InactiveTextColour = 0xE1FFFF;
    DialogLook.CaptionTextColour = 0x00FFFF;
    DialogLook.CaptionColour = 0x7F3F00;
    DialogLook.ButtonBrush = FaceBrush;
    DialogLook.ButtonColour = 0x7F3F00;
    DialogLook.ButtonPressedColour = 0xC08000;
    DialogLook.ButtonFont = SmallFont;
    DialogLook.AccentBrush = AccentBrush;
    DialogLook.AccentTextColour = 0xE1FFFF;
}

BOOL ResolveAnimateWindow()
{
    // Windows 95 and NT 4 have no AnimateWindow; the exe must still load there.
    AnimateWindowEntry = NULL;
    HMODULE user32 = LoadLibraryA("user32.dll");
    if (!user32)
        return FALSE;
    AnimateWindowEntry = (AnimateWindowProc)(void*)GetProcAddress(user32, "AnimateWindow");
    // The system links user32 anyway, so the entry stays valid after this.
    FreeLibrary(user32);
    return AnimateWindowEntry != NULL;
}

void InvalidateClient(HWND hwnd)
{
    RECT client;
    GetClientRect(hwnd, &client);
    InvalidateRect(hwnd, &client, TRUE);
}

BOOL PaintCaption(HWND hwnd, BYTE active, UINT animate, const char* text, COLORREF frameColour,
                  COLORREF captionColour, COLORREF textColour, COLORREF inactiveColour,
                  COLORREF inactiveTextColour)
{
    char windowText[256];
    if (!text) {
        windowText[0] = 0;
        GetWindowTextA(hwnd, windowText, sizeof windowText);
        text = windowText;
    }
    if (!active) {
        frameColour = inactiveColour;
        captionColour = inactiveColour;
        textColour = inactiveTextColour;
    }
    if (active && animate == LOOK_ANIMATE && AnimateWindowEntry) {
        RECT client;
        GetClientRect(hwnd, &client);
        AnimateWindowEntry(hwnd, 200, AW_CENTER);
        InvalidateRect(hwnd, &client, TRUE);
    }
    int frameHeight = GetSystemMetrics(SM_CYDLGFRAME);
    int captionHeight = GetSystemMetrics(SM_CYCAPTION);

    HDC dc = GetWindowDC(hwnd);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    RECT window;
    GetWindowRect(hwnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    HPEN framePen = CreatePen(PS_SOLID, frameHeight + 1, frameColour);
    HPEN captionPen = CreatePen(PS_SOLID, captionHeight, captionColour);

    // The wide pen's strokes fill the whole band.
    HGDIOBJ oldPen = SelectObject(dc, captionPen);
    Rectangle(dc, 0, 0, width, captionHeight / 2 + frameHeight + 1);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour);
    // Four pixels of half-width per character; long captions start left of the edge.
    int length = lstrlenA(text);
    TextOutA(dc, width / 2 - 4 * length, 3, text, length);
    SelectObject(dc, framePen);
    Rectangle(dc, 1, captionHeight + frameHeight - 2, width, height);

    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    ReleaseDC(hwnd, dc);
    DeleteObject(framePen);
    DeleteObject(captionPen);
    return TRUE;
}

void RepaintActiveCaption(HWND hwnd, DialogLookRecord* look)
{
    // Without a window GetWindowDC would hand out the whole screen.
    if (!hwnd || !IsWindow(hwnd))
        return;
    InvalidateClient(hwnd);
    PaintCaption(hwnd, 1, 0, NULL, look->FrameColour, look->CaptionColour, look->CaptionTextColour,
                 look->InactiveColour, 0xFFFFFF);
}

static void DrawLookButton(HWND button, COLORREF colour, HFONT font, BOOL raised)
{
    HDC dc = GetWindowDC(button);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT rect;
    GetClientRect(button, &rect);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    // Only the edge: the face keeps the button's background brush.
    DrawEdge(dc, &rect, raised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT);
    char label[64];
    label[0] = 0;
    GetWindowTextA(button, label, sizeof label);
    rect.top += rect.bottom / 5;
    DrawTextA(dc, label, -1, &rect, DT_CENTER);
    SelectObject(dc, oldFont);
    ReleaseDC(button, dc);
}

int DrawItemButton(const DRAWITEMSTRUCT* drawItem, COLORREF colour, COLORREF pressedColour, HFONT font)
{
    if (drawItem->CtlType != ODT_BUTTON)
        return 0;
    // A selection change draws sunken whether the button goes down or up:
    // it stays sunken until it is next drawn whole.
    if (drawItem->itemAction == ODA_DRAWENTIRE)
        DrawLookButton(drawItem->hwndItem, colour, font, TRUE);
    else if (drawItem->itemAction == ODA_SELECT)
        DrawLookButton(drawItem->hwndItem, pressedColour, font, FALSE);
    return 0;
}

static void PaintHeading(HWND hwnd, const char* text, COLORREF colour)
{
    RECT client;
    GetClientRect(hwnd, &client);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    HGDIOBJ oldFont = SelectObject(dc, HeadingFont);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    client.top += 10;
    DrawTextA(dc, text, -1, &client, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &paint);
}

static LRESULT LookOnActivate(DialogLookRecord* look, HWND hwnd, WPARAM wParam)
{
    if (!look->CustomCaption)
        return 0;
    UINT animate = look->Animate && ResolveAnimateWindow() ? LOOK_ANIMATE : 0;
    // Click activation and the minimised flag count as active; only 0 is inactive.
    BYTE active = wParam != 0;
    return PaintCaption(hwnd, active, animate, look->CaptionText, look->FrameColour, look->CaptionColour,
                        look->CaptionTextColour, look->InactiveColour, look->InactiveTextColour);
}

static LRESULT LookOnNcPaint(DialogLookRecord* look, HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    if (!look->CustomCaption)
        return DefWindowProcA(hwnd, WM_NCPAINT, wParam, lParam);
    BYTE active = GetActiveWindow() == hwnd;
    return PaintCaption(hwnd, active, 0, look->CaptionText, look->FrameColour, look->CaptionColour,
                        look->CaptionTextColour, look->InactiveColour, 0xFFFFFF);
}

static LRESULT LookOnPaint(DialogLookRecord* look, HWND hwnd)
{
    if (look->HeadingText)
        PaintHeading(hwnd, look->HeadingText, look->HeadingColour);
    return 0;
}

static LRESULT LookOnDrawItem(DialogLookRecord* look, LPARAM lParam)
{
    if (!look->OwnerDrawButtons)
        return 0;
    return DrawItemButton((const DRAWITEMSTRUCT*)lParam, look->ButtonColour, look->ButtonPressedColour,
                          look->ButtonFont);
}

static LRESULT LookOnCtlColorStatic(DialogLookRecord* look, HDC dc)
{
    if (look->AccentStatics)
        SetTextColor(dc, look->AccentTextColour);
    SetBkMode(dc, TRANSPARENT);
    return (LRESULT)(look->AccentStatics ? look->AccentBrush : look->DialogBrush);
}

LRESULT HandleDialogLook(DialogLookRecord* look, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:         return LookOnActivate(look, hwnd, wParam);
    case WM_PAINT:            return LookOnPaint(look, hwnd);
    case WM_DRAWITEM:         return LookOnDrawItem(look, lParam);
    case WM_NCPAINT:          return LookOnNcPaint(look, hwnd, wParam, lParam);
    case WM_CTLCOLORBTN:      return (LRESULT)look->ButtonBrush;
    case WM_CTLCOLORSTATIC:   return LookOnCtlColorStatic(look, (HDC)wParam);
    case WM_CTLCOLORDLG:      return (LRESULT)look->DialogBrush;
    }
    // Unhandled commands, IDCANCEL included, leave the dialog open.
    return 0;
}

// The main window's statics get the accent when the dialogs' do not, and the
// other way round.
static LRESULT FrameOnCtlColorStatic(DialogLookRecord* look, HDC dc)
{
    if (!look->AccentStatics)
        SetTextColor(dc, look->AccentTextColour);
    SetBkMode(dc, TRANSPARENT);
    return (LRESULT)(look->AccentStatics ? look->DialogBrush : look->AccentBrush);
}

LRESULT HandleFrameLook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DialogLookRecord* look)
{
    switch (message) {
    case WM_CTLCOLORDLG:    return (LRESULT)look->AccentBrush;
    case WM_CTLCOLORSTATIC: return FrameOnCtlColorStatic(look, (HDC)wParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void StretchBitmap(HDC dc, HBITMAP bitmap, short x, short y, short height, LONG width, DWORD rop)
{
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetMapMode(memory, GetMapMode(dc));
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    POINT size = { info.bmWidth, info.bmHeight };
    DPtoLP(dc, &size, 1);
    POINT origin = { 0, 0 };
    DPtoLP(memory, &origin, 1);
    StretchBlt(dc, x, y, width, height, memory, origin.x, origin.y, size.x, size.y, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void ReleaseLookObjects()
{
    DeleteObject(FaceBrush);
    DeleteObject(SmallFont);
    DeleteObject(HeadingFont);
}

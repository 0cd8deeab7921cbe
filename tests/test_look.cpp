// The painted look of dialogs: look objects, the record's start values, the
// control colours, the caption band and frame, headings and owner-drawn buttons.
#include "look/Look.h"
#include "support/LookSupport.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// This process's dialogs get frames that the screen shows (see WineDrawnFrames).
WineDrawnFrames ownFrames("test_look.exe");

const COLORREF Face = RGB(236, 233, 216);
const COLORREF Accent = RGB(0, 128, 192);
const COLORREF Caption = RGB(0, 63, 127);
const COLORREF Grey = RGB(128, 128, 128);
const COLORREF Yellow = RGB(255, 255, 0);
const COLORREF PaleYellow = RGB(255, 255, 225);
const COLORREF White = RGB(255, 255, 255);
const int OwnerDrawId = 100;

// A dialog template in memory: a caption, a static and an owner-drawn button.
struct DialogTemplate {
    std::vector<WORD> words;
    void Word(WORD w) { words.push_back(w); }
    void Dword(DWORD d) { Word(LOWORD(d)); Word(HIWORD(d)); }
    void Text(const char* text)
    {
        for (; *text; text++)
            Word((BYTE)*text);
        Word(0);
    }
    void Align() { if (words.size() % 2) Word(0); }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const char* text)
    {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(x); Word(y); Word(cx); Word(cy); Word(id);
        Word(0xFFFF); Word(atom);
        Text(text);
        Word(0);
    }
    explicit DialogTemplate(const std::string& caption)
    {
        Dword(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT);
        Dword(0);
        Word(2);
        Word(20); Word(20); Word(200); Word(100);
        Word(0); Word(0);
        Text(caption.c_str());
        Word(8);
        Text("Tahoma");
        Item(SS_LEFT, 10, 40, 80, 10, 0xFFFF, 0x0082, "A label");
        Item(BS_OWNERDRAW, 120, 70, 60, 18, OwnerDrawId, 0x0080, "Press");
    }
    const DLGTEMPLATE* Get() const { return (const DLGTEMPLATE*)words.data(); }
};

// A dialog procedure that leaves everything to the look, as the look expects.
INT_PTR CALLBACK LookOnlyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

struct LookFixture : ::testing::Test {
    std::vector<HWND> dialogs;
    void SetUp() override { InitDialogLook(); }
    void TearDown() override
    {
        for (HWND dialog : dialogs)
            if (IsWindow(dialog))
                DestroyWindow(dialog);
    }
    HWND Open(const std::string& caption)
    {
        DialogTemplate dialogTemplate(caption);
        HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(NULL), dialogTemplate.Get(), NULL,
                                                 LookOnlyProc, 0);
        dialogs.push_back(dialog);
        SetForegroundWindow(dialog);
        WaitFor([&] { return GetActiveWindow() == dialog; }, 2000);
        return dialog;
    }
    // Waits until the window shows `colour` at (x, y) of its whole rectangle.
    bool Shows(HWND window, int x, int y, COLORREF colour)
    {
        return WaitFor([&] { return GrabWindow(window).At(x, y) == colour; }, 3000);
    }
    // The window goes on showing `colour` there for a while.
    bool KeepsShowing(HWND window, int x, int y, COLORREF colour)
    {
        return Holds([&] { return GrabWindow(window).At(x, y) == colour; }, 100);
    }
};

std::string Hex(COLORREF colour)
{
    char text[16];
    wsprintfA(text, "%06lX", (unsigned long)colour);
    return text;
}

int CaptionHeight() { return GetSystemMetrics(SM_CYCAPTION); }
int FrameHeight() { return GetSystemMetrics(SM_CYDLGFRAME); }

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH logBrush = {};
    GetObjectA(brush, sizeof logBrush, &logBrush);
    return logBrush.lbColor;
}

}  // namespace

// Nothing in this test makes them: they exist before main runs.
TEST(LookObjects, MadeBeforeTheProgramStarts)
{
    ASSERT_NE(nullptr, GetFaceBrush());
    ASSERT_NE(nullptr, GetAccentBrush());
    ASSERT_NE(nullptr, GetSmallFont());
    ASSERT_NE(nullptr, GetHeadingFont());
    EXPECT_EQ(Hex(Face), Hex(BrushColour(GetFaceBrush())));
    EXPECT_EQ(Hex(Accent), Hex(BrushColour(GetAccentBrush())));

    LOGFONTA font = {};
    ASSERT_NE(0, GetObjectA(GetSmallFont(), sizeof font, &font));
    EXPECT_EQ(16, font.lfHeight);
    EXPECT_EQ(5, font.lfWidth);
    EXPECT_FALSE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(CLIP_STROKE_PRECIS, font.lfClipPrecision);
    EXPECT_STREQ("Times", font.lfFaceName);

    ASSERT_NE(0, GetObjectA(GetHeadingFont(), sizeof font, &font));
    EXPECT_EQ(32, font.lfHeight);
    EXPECT_EQ(8, font.lfWidth);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_FALSE(font.lfStrikeOut);
    EXPECT_STREQ("Arial", font.lfFaceName);
}

TEST(LookObjects, InitDialogLookFillsEveryField)
{
    InitDialogLook();
    const DialogLookRecord& look = DialogLook;
    EXPECT_EQ(1, look.Animate);
    EXPECT_EQ(0, look.OwnerDrawButtons);
    EXPECT_EQ(1, look.CustomCaption);
    EXPECT_EQ(0, look.AccentStatics);
    ASSERT_NE(nullptr, look.HeadingText);
    EXPECT_STREQ("Title", look.HeadingText);
    EXPECT_EQ(Hex(Accent), Hex(look.HeadingColour));
    EXPECT_EQ(GetFaceBrush(), look.DialogBrush);
    EXPECT_EQ(nullptr, look.CaptionText);
    EXPECT_EQ(Hex(Caption), Hex(look.FrameColour));
    EXPECT_EQ(Hex(Grey), Hex(look.InactiveColour));
    EXPECT_EQ(Hex(PaleYellow), Hex(look.InactiveTextColour));
    EXPECT_EQ(Hex(Yellow), Hex(look.CaptionTextColour));
    EXPECT_EQ(Hex(Caption), Hex(look.CaptionColour));
    EXPECT_EQ(GetFaceBrush(), look.ButtonBrush);
    EXPECT_EQ(Hex(Caption), Hex(look.ButtonColour));
    EXPECT_EQ(Hex(Accent), Hex(look.ButtonPressedColour));
    EXPECT_EQ(GetSmallFont(), look.ButtonFont);
    EXPECT_EQ(GetAccentBrush(), look.AccentBrush);
    EXPECT_EQ(Hex(PaleYellow), Hex(look.AccentTextColour));
}

// Dialogs and the main window take opposite sides of the accent flag.
TEST_F(LookFixture, ControlColoursOfDialogsAndTheMainWindow)
{
    HWND dialog = Open("Colours");
    HDC dc = CreateCompatibleDC(NULL);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);

    EXPECT_EQ((LRESULT)GetFaceBrush(), HandleDialogLook(&DialogLook, dialog, WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)dialog));
    EXPECT_EQ((LRESULT)GetFaceBrush(), HandleDialogLook(&DialogLook, dialog, WM_CTLCOLORBTN, (WPARAM)dc, 0));
    EXPECT_EQ((LRESULT)GetFaceBrush(), HandleDialogLook(&DialogLook, dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, 0));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(GetTextColor(dc))) << "dialog statics keep their text colour";

    SetBkMode(dc, OPAQUE);
    EXPECT_EQ((LRESULT)GetAccentBrush(), HandleFrameLook(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, 0, &DialogLook));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(Hex(PaleYellow), Hex(GetTextColor(dc)));
    EXPECT_EQ((LRESULT)GetAccentBrush(), HandleFrameLook(dialog, WM_CTLCOLORDLG, (WPARAM)dc, 0, &DialogLook));

    DialogLook.AccentStatics = 1;
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_EQ((LRESULT)GetAccentBrush(), HandleDialogLook(&DialogLook, dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, 0));
    EXPECT_EQ(Hex(PaleYellow), Hex(GetTextColor(dc)));
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_EQ((LRESULT)GetFaceBrush(), HandleFrameLook(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, 0, &DialogLook));
    EXPECT_EQ(Hex(RGB(1, 2, 3)), Hex(GetTextColor(dc)));

    // Everything else: 0 from the dialog side, the default from the frame side.
    EXPECT_EQ(0, HandleDialogLook(&DialogLook, dialog, WM_COMMAND, IDCANCEL, 0));
    EXPECT_EQ(0, HandleDialogLook(&DialogLook, dialog, WM_LBUTTONDOWN, 0, 0));
    EXPECT_EQ(DefWindowProcA(dialog, WM_GETTEXTLENGTH, 0, 0),
              HandleFrameLook(dialog, WM_GETTEXTLENGTH, 0, 0, &DialogLook));
    DeleteDC(dc);
}

// Through the dialog manager: the face brush paints the dialog, and neither
// IDCANCEL nor Escape closes a dialog that leaves them to the look.
TEST_F(LookFixture, FallbackDialogHasTheFaceAndStaysOpenOnCancel)
{
    HWND dialog = Open("Face");
    ASSERT_NE(nullptr, dialog);
    HDC dc = GetDC(dialog);
    EXPECT_EQ((LRESULT)GetFaceBrush(), SendMessageA(dialog, WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)dialog));
    ReleaseDC(dialog, dc);
    POINT client = ClientOrigin(dialog);
    EXPECT_TRUE(Shows(dialog, client.x + 5, client.y + 60, Face))
        << "client pixel " << Hex(GrabWindow(dialog).At(client.x + 5, client.y + 60));

    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DrainQueue();
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
}

namespace {
HWND ModalDialog;
int ModalChecks;
bool StillOpenAfterEscape;

void CALLBACK ModalStep(HWND, UINT, UINT_PTR id, DWORD)
{
    ModalChecks++;
    if (!ModalDialog)
        ModalDialog = FindWindowA("#32770", "Modal look");
    if (!ModalDialog)
        return;
    if (ModalChecks == 3) {
        PostKey(ModalDialog, VK_ESCAPE);
        PostMessageA(ModalDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    if (ModalChecks == 8) {
        StillOpenAfterEscape = IsWindowVisible(ModalDialog) != 0;
        KillTimer(NULL, id);
        EndDialog(ModalDialog, 7);
    }
}
}  // namespace

TEST_F(LookFixture, ModalDialogIgnoresEscape)
{
    DialogTemplate dialogTemplate("Modal look");
    UINT_PTR timer = SetTimer(NULL, 0, 100, ModalStep);
    INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(NULL), dialogTemplate.Get(), NULL, LookOnlyProc, 0);
    KillTimer(NULL, timer);
    EXPECT_EQ(7, result);
    EXPECT_TRUE(StillOpenAfterEscape);
}

TEST_F(LookFixture, ActiveCaptionBandTextAndFrame)
{
    HWND dialog = Open("Look");
    ASSERT_EQ(dialog, GetActiveWindow());
    RECT rect;
    GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int band = CaptionHeight() + FrameHeight() - 2;
    EXPECT_TRUE(Shows(dialog, 4, 4, Caption)) << Hex(GrabWindow(dialog).At(4, 4));
    WindowPixels pixels = GrabWindow(dialog);
    EXPECT_EQ(Hex(Caption), Hex(pixels.At(width - 5, band - 3)));
    EXPECT_EQ(Hex(Caption), Hex(pixels.At(width / 2, band - 1)));
    // Text from x = width / 2 - 4 per character, y = 3, in the caption text colour.
    int textLeft = width / 2 - 4 * 4;
    EXPECT_GT(pixels.Count(textLeft, 3, textLeft + 40, band, Yellow), 5);
    EXPECT_EQ(0, pixels.Count(0, 0, textLeft - 2, band, Yellow)) << "nothing left of the text";
    // The frame in the frame colour on the left, right and bottom edges.
    EXPECT_EQ(Hex(Caption), Hex(pixels.At(1, height / 2)));
    EXPECT_EQ(Hex(Caption), Hex(pixels.At(width - 1, height / 2)));
    EXPECT_EQ(Hex(Caption), Hex(pixels.At(width / 2, height - 1)));
}

// Only wParam 0 is inactive; click activation and the minimised flag are active.
TEST_F(LookFixture, ActivationStatesAndInactivePainting)
{
    HWND dialog = Open("States");
    RECT rect;
    GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left;
    int band = CaptionHeight() + FrameHeight() - 2;
    int textLeft = width / 2 - 4 * 6;

    // 1 tells the dialog manager that activation is handled.
    EXPECT_EQ(1, HandleDialogLook(&DialogLook, dialog, WM_ACTIVATE, WA_INACTIVE, 0));
    EXPECT_TRUE(Shows(dialog, 4, 4, Grey));
    WindowPixels pixels = GrabWindow(dialog);
    EXPECT_GT(pixels.Count(textLeft, 3, textLeft + 48, band, PaleYellow), 5);
    EXPECT_EQ(Hex(Grey), Hex(pixels.At(1, 60)));

    SendMessageA(dialog, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_TRUE(Shows(dialog, 4, 4, Caption));
    SendMessageA(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(Shows(dialog, 4, 4, Grey));
    EXPECT_EQ(1, HandleDialogLook(&DialogLook, dialog, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, TRUE), 0));
    EXPECT_TRUE(Shows(dialog, 4, 4, Caption));

    // Repainting the frame of a dialog that is not the active one: grey with white text.
    HWND other = Open("Other");
    ASSERT_EQ(other, GetActiveWindow());
    RedrawWindow(dialog, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Shows(dialog, 4, 4, Grey));
    pixels = GrabWindow(dialog);
    EXPECT_GT(pixels.Count(textLeft, 3, textLeft + 48, band, White), 5);
    EXPECT_EQ(0, pixels.Count(textLeft, 3, textLeft + 48, band, PaleYellow));

    // What the Options Panel's tool dialogs do when they close.
    RepaintActiveCaption(dialog, &DialogLook);
    EXPECT_TRUE(Shows(dialog, 4, 4, Caption));
    pixels = GrabWindow(dialog);
    EXPECT_GT(pixels.Count(textLeft, 3, textLeft + 48, band, Yellow), 5);
}

TEST_F(LookFixture, WithoutCustomCaptionThePlatformPaints)
{
    DialogLook.CustomCaption = 0;
    HWND dialog = Open("Plain");
    EXPECT_EQ(0, HandleDialogLook(&DialogLook, dialog, WM_ACTIVATE, WA_ACTIVE, 0));
    RedrawWindow(dialog, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Holds([&] { return GrabWindow(dialog).At(4, 4) != Caption; }, 200)) << Hex(GrabWindow(dialog).At(4, 4));
}

// Captions are read from at most 255 characters and are not shortened: a long
// one starts left of the window's edge.
TEST_F(LookFixture, LongCaptionStartsLeftOfTheEdge)
{
    HWND dialog = Open(std::string(300, 'W'));
    int band = CaptionHeight() + FrameHeight() - 2;
    EXPECT_TRUE(WaitFor([&] { return GrabWindow(dialog).Count(0, 3, 12, band, Yellow) > 3; }, 3000));
    EXPECT_EQ(TRUE, PaintCaption(dialog, 1, 0, NULL, Caption, Caption, Yellow, Grey, White));
    EXPECT_EQ(TRUE, PaintCaption(dialog, 1, 0, "", Caption, Caption, Yellow, Grey, White));
}

// The heading is one shared text: whatever was stored last is painted.
TEST_F(LookFixture, HeadingFromTheSharedText)
{
    HWND dialog = Open("Heading");
    auto headingPixels = [&] { return HeadingPixels(dialog, Accent); };
    EXPECT_TRUE(WaitFor([&] { return headingPixels() > 40; }, 3000)) << headingPixels();

    DialogLook.HeadingText = NULL;
    InvalidateClient(dialog);
    UpdateWindow(dialog);
    EXPECT_TRUE(WaitFor([&] { return headingPixels() == 0; }, 3000)) << headingPixels();

    DialogLook.HeadingText = "Another heading";
    InvalidateClient(dialog);
    UpdateWindow(dialog);
    EXPECT_TRUE(WaitFor([&] { return headingPixels() > 40; }, 3000)) << headingPixels();
}

// Pressing and releasing leaves the button sunken in the pressed colour until
// it is drawn whole again.
TEST_F(LookFixture, OwnerDrawnButtonRaisedThenSunken)
{
    DialogLook.OwnerDrawButtons = 1;
    HWND dialog = Open("Buttons");
    HWND button = GetDlgItem(dialog, OwnerDrawId);
    ASSERT_NE(nullptr, button);
    RECT buttonRect;
    GetWindowRect(button, &buttonRect);
    RECT dialogRect;
    GetWindowRect(dialog, &dialogRect);
    int left = buttonRect.left - dialogRect.left, top = buttonRect.top - dialogRect.top;
    int right = buttonRect.right - dialogRect.left, bottom = buttonRect.bottom - dialogRect.top;
    COLORREF raisedCorner = GetSysColor(COLOR_3DLIGHT), sunkenCorner = GetSysColor(COLOR_3DSHADOW);
    auto label = [&](COLORREF colour) {
        return GrabWindow(dialog).Count(left + 2, top + 2, right - 2, bottom - 2, colour, 8);
    };

    EXPECT_TRUE(Shows(dialog, left, top, raisedCorner)) << Hex(GrabWindow(dialog).At(left, top));
    EXPECT_GT(label(Caption), 3);
    EXPECT_EQ(0, label(Accent));

    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(Shows(dialog, left, top, sunkenCorner)) << Hex(GrabWindow(dialog).At(left, top));
    EXPECT_GT(label(Accent), 3);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    EXPECT_TRUE(KeepsShowing(dialog, left, top, sunkenCorner)) << "released, still sunken";

    InvalidateRect(button, NULL, TRUE);
    UpdateWindow(button);
    EXPECT_TRUE(Shows(dialog, left, top, raisedCorner)) << Hex(GrabWindow(dialog).At(left, top));

    // Other kinds of item and the focus action draw nothing.
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_STATIC;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = button;
    EXPECT_EQ(0, DrawItemButton(&item, Accent, Accent, GetSmallFont()));
    item.CtlType = ODT_BUTTON;
    item.itemAction = ODA_FOCUS;
    EXPECT_EQ(0, DrawItemButton(&item, Accent, Accent, GetSmallFont()));
    EXPECT_TRUE(KeepsShowing(dialog, left, top, raisedCorner));
}

TEST(LookAnimation, AnimateWindowLookedUpAtRunTime)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC expected = GetProcAddress(user32, "AnimateWindow");
    EXPECT_EQ(expected != NULL, ResolveAnimateWindow() != FALSE);
    EXPECT_EQ((void*)expected, (void*)GetAnimateWindowEntry());
}

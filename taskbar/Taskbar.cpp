// The taskbar along the bottom of the main window: the Start button, one
// button per visible titled window (rebuilt on every timer tick) and the clock.
#include "taskbar/Taskbar.h"
#include "core/Core.h"
#include "core/Shared.h"
#include "look/Look.h"
#include "res/resource.h"

static HWND StartButton;
static HWND ClockLabel;
static HWND WindowButtons[MAX_WINDOW_BUTTONS + 1];   // slots 1 to 14
static BYTE WindowButtonCount;
static char LastClickedCaption[CLICKED_CAPTION_SIZE];
static HBITMAP TaskbarStripBitmap;
static HBITMAP StartButtonBitmap;

enum {
    TASKBAR_PERIOD = 1666,
    BUTTON_LEFT = 60,
    BUTTON_WIDTH = 75,
    BUTTON_HEIGHT = 25,
    BUTTON_RAISE = 26,
    WINDOW_TITLE_SIZE = 64,
    STRIP_HEIGHT = 30
};

static const DWORD StartButtonStyle = WS_CHILD | WS_VISIBLE | BS_BITMAP;
static const DWORD WindowButtonStyle = WS_CHILD | WS_VISIBLE | BS_LEFT;

char* FormatClockTime(const SYSTEMTIME* time, char* text)
{
    wsprintfA(text, "%s%u%s%u", time->wHour < 10 ? "0" : "", (unsigned)time->wHour,
              time->wMinute < 10 ? ":0" : ":", (unsigned)time->wMinute);
    return text;
}

char* FormatClockText(char* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatClockTime(&now, text);
}

static void UpdateClock(HWND label)
{
    char text[CLOCK_TEXT_SIZE];
    char shown[CLOCK_TEXT_SIZE];
    FormatClockText(text);
    // The label repaints on every new text; most ticks bring the same minute.
    if (GetWindowTextA(label, shown, sizeof shown) && lstrcmpA(shown, text) == 0)
        return;
    SendMessageA(label, WM_SETTEXT, 0, (LPARAM)text);
}

// Long titles get their letters 2 to 12 lowered; shorter titles keep their
// text, so that a click on the button finds the window by its title again.
char* MakeButtonCaption(char* title)
{
    if (!title || lstrlenA(title) < 2)
        return NULL;
    ChangeCase(0, title, 1, 12);
    return title;
}

HWND GetStartButton() { return StartButton; }
HWND GetClockLabel() { return ClockLabel; }
BYTE GetWindowButtonCount() { return WindowButtonCount; }
const char* GetLastClickedCaption() { return LastClickedCaption; }
HBITMAP GetTaskbarStripBitmap() { return TaskbarStripBitmap; }
HBITMAP GetStartButtonBitmap() { return StartButtonBitmap; }

void ForgetWindowButtons()
{
    WindowButtonCount = 0;
    LastClickedCaption[0] = 0;
}

void LoadTaskbarBitmaps(HINSTANCE instance)
{
    TaskbarStripBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_TASKBAR_STRIP));
    StartButtonBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_START_BUTTON));
}

void PaintTaskbarStrip(HDC dc)
{
    // The strip starts one pixel in from the left edge.
    StretchBitmap(dc, TaskbarStripBitmap, 1, (short)(ScreenSize.height - STRIP_HEIGHT), STRIP_HEIGHT,
                  ScreenSize.width, SRCCOPY);
}

// After a change of screen size. Both rectangles are as the refresh has
// always placed them; the clock's differs from the one it gets at creation.
void PlaceTaskbarControls()
{
    MoveWindow(StartButton, 0, ScreenSize.height - 25, 57, 25, TRUE);
    MoveWindow(ClockLabel, ScreenSize.width - 40, ScreenSize.height - 21, 50, 25, TRUE);
}

void ReleaseTaskbarBitmaps()
{
    DeleteObject(StartButtonBitmap);
    DeleteObject(TaskbarStripBitmap);
}

void ReleaseTaskbarControls(HWND window)
{
    DestroyWindow(StartButton);
    KillTimer(window, IDT_TASKBAR);
}

void CreateTaskbarControls(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    StartButton = CreateWindowExA(0, "Button", "Start", StartButtonStyle, client.left,
                                  client.bottom - 25, 57, 25, window,
                                  (HMENU)(INT_PTR)IDC_START_BUTTON, AppInstance, NULL);
    SendMessageA(StartButton, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)StartButtonBitmap);
    // The clock starts 40 pixels before the edge and is wider than that.
    ClockLabel = CreateWindowExA(0, "Static", "init_time", WS_CHILD | WS_VISIBLE, client.right - 40,
                                 client.bottom - 22, 57, 17, window, (HMENU)(INT_PTR)IDC_CLOCK,
                                 AppInstance, NULL);
    UpdateClock(ClockLabel);
    SetTimer(window, IDT_TASKBAR, TASKBAR_PERIOD, NULL);
}

static void DestroyWindowButtons()
{
    for (int slot = 1; slot <= WindowButtonCount; slot++) {
        if (WindowButtons[slot] && IsWindow(WindowButtons[slot]))
            DestroyWindow(WindowButtons[slot]);
        WindowButtons[slot] = NULL;
    }
}

static HWND CreateWindowButton(HWND window, const RECT* client, int place, const char* caption)
{
    HWND button = CreateWindowExA(0, "Button", caption, WindowButtonStyle,
                                  client->left + BUTTON_LEFT + BUTTON_WIDTH * place,
                                  client->bottom - BUTTON_RAISE, BUTTON_WIDTH, BUTTON_HEIGHT, window,
                                  (HMENU)(INT_PTR)IDC_WINDOW_BUTTON, AppInstance, NULL);
    // The bold system font leaves room for a few letters only.
    if (button)
        SendMessageA(button, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    return button;
}

static BOOL IsLastClicked(const char* caption)
{
    char cut[CLICKED_CAPTION_SIZE];
    lstrcpynA(cut, caption, sizeof cut);
    return lstrcmpiA(LastClickedCaption, cut) == 0;
}

// The taskbar the standing buttons were made for.
static RECT ButtonClient;

// True when a rebuild would make exactly the buttons that stand: the same
// slots, captions and pushed states on a taskbar of the same size. They are
// then left alone, which spares the redrawing on every tick.
static BOOL ButtonsStandAsBuilt(StringList titles, int count, const RECT* client)
{
    if (count != WindowButtonCount || !EqualRect(client, &ButtonClient))
        return FALSE;
    for (int i = 1; i <= count; i++) {
        char* caption = MakeButtonCaption(ListGet(titles, i, NULL));
        HWND button = WindowButtons[i];
        if (!caption || !button) {
            if (caption || button)
                return FALSE;
            continue;
        }
        char text[64];
        if (!IsWindow(button) || !GetWindowTextA(button, text, sizeof text) || lstrcmpA(text, caption))
            return FALSE;
        BOOL pushed = (SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        if (pushed != IsLastClicked(caption))
            return FALSE;
    }
    return TRUE;
}

// Buttons run from the bottom of the Z order upwards; titles of fewer than
// two characters get none and the next button closes up.
void RebuildWindowButtons(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    StringList windows;
    StringList titles = ListVisibleTitles(&windows);
    ListRemoveTitle(&titles, "Program manager");
    int count = ListCount(titles);
    if (count > MAX_WINDOW_BUTTONS)
        count = MAX_WINDOW_BUTTONS;
    if (ButtonsStandAsBuilt(titles, count, &client)) {
        ListClear(&titles);
        UpdateClock(ClockLabel);
        return;
    }
    DestroyWindowButtons();
    ButtonClient = client;
    WindowButtonCount = (BYTE)count;
    int place = 0;
    for (int i = 1; i <= WindowButtonCount; i++) {
        char* caption = MakeButtonCaption(ListGet(titles, i, NULL));
        if (!caption)
            continue;
        HWND button = CreateWindowButton(window, &client, place++, caption);
        WindowButtons[i] = button;
        if (button && IsLastClicked(caption))
            SendMessageA(button, BM_SETSTATE, TRUE, 0);
    }
    ListClear(&titles);
    UpdateClock(ClockLabel);
}

static void BringToFront(HWND target)
{
    if (!IsWindow(target))
        return;
    SetForegroundWindow(target);
    ShowWindow(target, IsZoomed(target) ? SW_MAXIMIZE : SW_RESTORE);
}

void ActivateWindowButton(HWND window, HWND button)
{
    char text[CLICKED_CAPTION_SIZE];
    GetWindowTextA(button, text, sizeof text);
    int length = lstrlenA(text);
    // Captions of two characters or fewer do nothing when clicked.
    if (length <= 2)
        return;
    lstrcpynA(LastClickedCaption, text, sizeof LastClickedCaption);
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    StringList windows;
    StringList titles = ListVisibleTitles(&windows);
    int position = ListFindPrefix(titles, text, (BYTE)(length > 255 ? 255 : length));
    const char* handle = position != -1 ? ListGet(windows, position, NULL) : NULL;
    if (handle)
        BringToFront(TextToWindow(handle));
    ListClear(&titles);
}

void ShowStartMenu(HWND window)
{
    SendDlgItemMessageA(window, IDC_START_BUTTON, BM_SETSTATE, TRUE, 0);
    // The menu opens upwards from just above the taskbar, wherever the mouse is.
    TrackPopupMenu(CommandsMenu, TPM_BOTTOMALIGN, 1, ScreenSize.height - 26, 0, window, NULL);
    SendDlgItemMessageA(window, IDC_START_BUTTON, BM_SETSTATE, FALSE, 0);
}

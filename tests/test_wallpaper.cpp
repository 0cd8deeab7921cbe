// The wallpaper chooser: size texts, preview sizes, the preview panel inside
// the open-file dialog, "No Wallpaper", "BMP Position", a chosen bitmap.
#include "admin/Admin.h"
#include "app/App.h"
#include "desktop/Desktop.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

std::string SizeText(LONG size)
{
    char text[32];
    FormatFileSize(size, text);
    return text;
}

TEST(WallpaperSizes, TextsInBytesAndKilobytes)
{
    struct Case { LONG size; const char* text; };
    for (Case c : { Case{ 0, "0 Bytes" }, Case{ 999, "999 Bytes" }, Case{ 1000, "1 KBytes" },
                    Case{ 1999, "1 KBytes" }, Case{ 2500000, "2500 KBytes" }, Case{ -1, "N/A" },
                    Case{ (LONG)0x80000000u, "N/A" } })   // 2 GB and more
        EXPECT_EQ(c.text, SizeText(c.size)) << c.size;
}

TEST(WallpaperSizes, PreviewStretchesOnlyLargerBitmaps)
{
    const struct { int width, height, cx, cy; } cases[] = {
        {155, 85, 155, 85}, {156, 10, 155, 85}, {20, 86, 155, 85}, {12, 7, 12, 7},
    };
    for (const auto& c : cases) {
        SIZE s = PreviewSize(c.width, c.height);
        EXPECT_EQ(c.cx, s.cx) << c.width << " x " << c.height;
        EXPECT_EQ(c.cy, s.cy) << c.width << " x " << c.height;
    }
}

TEST(WallpaperSizes, FileSizeNeedsAnExclusiveOpen)
{
    TempFolder folder;
    folder.Write("a.bin", std::string(999, 'x'));
    folder.Write("b.bin", std::string(2500000, 'x'));
    EXPECT_EQ(999, FileSizeOf(folder.File("a.bin").c_str()));
    EXPECT_EQ(2500000, FileSizeOf(folder.File("b.bin").c_str()));
    EXPECT_EQ(-1, FileSizeOf(folder.File("missing.bin").c_str()));
    EXPECT_EQ(-1, FileSizeOf(folder.path.c_str()));
    HANDLE shared = CreateFileA(folder.File("a.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, shared);
    EXPECT_EQ(-1, FileSizeOf(folder.File("a.bin").c_str()));
    CloseHandle(shared);
}

// A 24-bit bitmap of one colour.
void WriteBitmap(const std::string& path, int width, int height)
{
    WriteBitmapFile(path, width, height, [](int, int) { return RGB(0x20, 0x60, 0xC0); });
}

HWND FindDescendant(HWND parent, const char* className)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == className)
            return child;
        HWND found = FindDescendant(child, className);
        if (found)
            return found;
    }
    return NULL;
}

HWND FindPreviewPanel(HWND fileDialog)
{
    for (HWND child = GetWindow(fileDialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, IDC_WALLPAPER_DIMENSIONS))
            return child;
    return NULL;
}

// Selects the list item whose text begins with the name; false when none does.
bool SelectItem(HWND list, const char* name)
{
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&item);
        std::string start = std::string(text).substr(0, lstrlenA(name));
        if (lstrcmpiA(start.c_str(), name) != 0)
            continue;
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = 0;
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)&state);
        DrainQueue();
        return true;
    }
    return false;
}

struct Preview {
    std::string dimensions, size;
    LONG width = -1, height = -1;   // -1: no bitmap shown
};

Preview ReadPreview(HWND panel)
{
    Preview p;
    p.dimensions = WindowText(GetDlgItem(panel, IDC_WALLPAPER_DIMENSIONS));
    p.size = WindowText(GetDlgItem(panel, IDC_WALLPAPER_SIZE));
    HBITMAP shown = (HBITMAP)SendDlgItemMessageA(panel, IDC_WALLPAPER_PREVIEW, STM_GETIMAGE,
                                                 IMAGE_BITMAP, 0);
    BITMAP bitmap;
    if (shown && GetObjectA(shown, sizeof bitmap, &bitmap)) {
        p.width = bitmap.bmWidth;
        p.height = bitmap.bmHeight;
    }
    return p;
}

struct ChooserFixture : ShellDialogTest {
    TempFolder folder;
    SavedValue wallpaper{HKEY_CURRENT_USER, "Control Panel\\Desktop\\", "WallPaper"};
    HWND host = NULL;
    char oldDirectory[MAX_PATH];
    void SetUp() override
    {
        ShellDialogTest::SetUp();
        GetCurrentDirectoryA(MAX_PATH, oldDirectory);
        SetCurrentDirectoryA(folder.path.c_str());
        host = StandIn("host");
        CreateWindowExA(0, "EDIT", "old.bmp", WS_CHILD, 0, 0, 300, 20, host,
                        (HMENU)(INT_PTR)IDC_PANEL_WALLPAPER, AppInstance, NULL);
        DesktopViewWindow = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP, 0, 0, 300, 200, NULL, NULL,
                                            AppInstance, NULL);
        SetRegString(HKEY_CURRENT_USER, "Control Panel\\Desktop\\", "WallPaper", "old.bmp");
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(oldDirectory);
        DestroyWindow(DesktopViewWindow);
        DesktopViewWindow = NULL;
        ShellDialogTest::TearDown();
    }
    std::string StoredWallpaper() { return RegText("Control Panel\\Desktop\\", "WallPaper"); }
};

TEST_F(ChooserFixture, PreviewsEachKindOfSelection)
{
    WriteBitmap(folder.File("exact.bmp"), 155, 85);
    WriteBitmap(folder.File("wide.bmp"), 156, 10);
    WriteBitmap(folder.File("tall.bmp"), 20, 86);
    folder.Write("fake.bmp", std::string(1500, 'x'));
    CreateDirectoryA(folder.File("folder").c_str(), NULL);
    Preview exact, wide, tall, fake, subfolder;
    bool found[5] = {};
    std::string sorry, sorryTitle;
    WhenShown("Choose Wallpaper File", [&](HWND dialog) {
        HWND panel = FindPreviewPanel(dialog);
        HWND list = FindDescendant(dialog, "SysListView32");
        ASSERT_NE(nullptr, panel);
        ASSERT_NE(nullptr, list);
        // The folder first: later the name field still holds the last file.
        found[4] = SelectItem(list, "folder");
        subfolder = ReadPreview(panel);
        found[0] = SelectItem(list, "exact");
        exact = ReadPreview(panel);
        found[1] = SelectItem(list, "wide");
        wide = ReadPreview(panel);
        found[2] = SelectItem(list, "tall");
        tall = ReadPreview(panel);
        found[3] = SelectItem(list, "fake");
        fake = ReadPreview(panel);
        AnswerBox("Sorry", &sorry);
        ClickButton(panel, IDC_WALLPAPER_POSITION);
        ClickButton(panel, IDC_WALLPAPER_NONE);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(1, ChooseWallpaper(host));
    for (bool f : found)
        EXPECT_TRUE(f);
    EXPECT_EQ("155 x 85", exact.dimensions);
    EXPECT_EQ(155, exact.width);
    EXPECT_EQ(85, exact.height);
    EXPECT_EQ("39 KBytes", exact.size);   // 54 + 468 x 85 bytes
    EXPECT_EQ("156 x 10", wide.dimensions);
    EXPECT_EQ(155, wide.width);
    EXPECT_EQ(85, wide.height);
    EXPECT_EQ("20 x 86", tall.dimensions);
    EXPECT_EQ(155, tall.width);
    EXPECT_EQ(85, tall.height);
    EXPECT_EQ("N/A", fake.dimensions);
    EXPECT_EQ(-1, fake.width);
    EXPECT_EQ("1 KBytes", fake.size);
    EXPECT_EQ("N/A", subfolder.dimensions);
    EXPECT_EQ("N/A", subfolder.size);
    EXPECT_EQ("Function Not Implemented", sorry);
    // "No Wallpaper" then Cancel: only the registry changed.
    EXPECT_EQ("", StoredWallpaper());
    EXPECT_EQ("old.bmp", WindowText(GetDlgItem(host, IDC_PANEL_WALLPAPER)));
    EXPECT_EQ(nullptr, GetWallpaperPreview());
}

TEST_F(ChooserFixture, ChosenBitmapGoesToDesktopRegistryAndPanel)
{
    WriteBitmap(folder.File("chosen.bmp"), 40, 30);
    std::string path = folder.File("chosen.bmp");
    WhenShown("Choose Wallpaper File", [&](HWND dialog) {
        HWND list = FindDescendant(dialog, "SysListView32");
        if (list)
            SelectItem(list, "chosen");
        ASSERT_TRUE(ChooseFile(dialog, path));
    });
    EXPECT_EQ(0, ChooseWallpaper(host));
    EXPECT_EQ(0, lstrcmpiA(path.c_str(), StoredWallpaper().c_str())) << StoredWallpaper();
    EXPECT_EQ(0, lstrcmpiA(path.c_str(), WindowText(GetDlgItem(host, IDC_PANEL_WALLPAPER)).c_str()));
    EXPECT_EQ(nullptr, GetWallpaperPreview());
}

}  // namespace

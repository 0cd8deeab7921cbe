// The desktop icon view: which files it lists and how, one image per file,
// opening files, the commands menu on a right click, and the refresh.
#include "app/App.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "taskbar/Taskbar.h"
#include "tools/Tools.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const char ProductKeyPath[] = "Software\\Hx_";
POINT FirstItemPoint(HWND view);
void PostClick(HWND view, UINT down, UINT up, POINT at, WPARAM keys);
const char WallpaperKey[] = "Control Panel\\Desktop";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
        return HandleDesktopNotify((NMHDR*)lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The view built in this process inside a stand-in main window, over a
// temporary Desktop folder; the stored pattern and wallpaper are restored.
struct DesktopHost {
    TempFolder desktop;
    SavedValue pattern{ HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension" };
    SavedValue wallpaper{ HKEY_CURRENT_USER, WallpaperKey, "WallPaper" };
    HWND host = NULL;

    DesktopHost()
    {
        AppInstance = GetModuleHandleA(NULL);
        lstrcpynA(ProgramInfo.desktopFolder, desktop.path.c_str(), sizeof ProgramInfo.desktopFolder);
        host = MakeWindow("DesktopTestHost", HostProc, "", WS_POPUP, { 0, 0, 800, 600 });
        MainWindow = host;
        SetRegString(HKEY_CURRENT_USER, WallpaperKey, "WallPaper", "");
    }
    ~DesktopHost()
    {
        ReleaseDesktopImages();
        ListClear(&DesktopFiles);
        DestroyWindow(DesktopViewWindow);
        DesktopViewWindow = NULL;
        DestroyWindow(host);
    }
    HWND Build(const char* pattern = "")
    {
        SetRegString(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension", pattern);
        DesktopViewWindow = CreateDesktopView(host);
        WaitFor([] { return DesktopImagesPending() == 0; }, 20000);   // the images fetched while idle
        return DesktopViewWindow;
    }
};


int ItemImage(HWND view, int item)
{
    LVITEMA request = {};
    request.mask = LVIF_IMAGE;
    request.iItem = item;
    request.iImage = -99;
    SendMessageA(view, LVM_GETITEMA, 0, (LPARAM)&request);
    return request.iImage;
}

std::vector<std::string> Labels(HWND view)
{
    std::vector<std::string> labels;
    for (int i = 0; i < ListViewItemCount(view); ++i)
        labels.push_back(ListViewItemText(view, i));
    return labels;
}

void SelectItem(HWND view, int item)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(view, LVM_SETITEMSTATE, item, (LPARAM)&state);
}

// A batch file whose "open" leaves a marker file behind.
void WriteMarkerBatch(const TempFolder& folder, const std::string& name, const std::string& marker)
{
    folder.Write(name, "@echo opened> \"" + marker + "\"\r\n");
}

// Such a batch file on the Desktop, its marker in a folder of its own.
struct MarkerBatch {
    TempFolder evidence;
    std::string marker = evidence.File("opened.txt");
    MarkerBatch(const TempFolder& desktop, const std::string& name) { WriteMarkerBatch(desktop, name, marker); }
};

// The pixels of one image-list entry drawn on white.
std::vector<COLORREF> ImagePixels(HIMAGELIST images, int index)
{
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = { 0, 0, 32, 32 };
    FillRect(memory, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ImageList_Draw(images, index, memory, 0, 0, ILD_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

} // namespace

TEST(DesktopLabel, CutsTheLastFourCharactersAndKeepsVeryShortNames)
{
    struct Case { const char* name; const char* label; };
    for (Case c : { Case{ "report.txt", "report" }, Case{ "page.html", "page." }, Case{ "a.bmp", "a" },
                    Case{ "abcd", "" }, Case{ "abc", "" }, Case{ "ab", "ab" }, Case{ "c", "c" },
                    Case{ "", "" } }) {
        char label[64] = "junk";
        MakeDesktopLabel(c.name, label, sizeof label);
        EXPECT_STREQ(c.label, label) << c.name;
    }
    char small[4] = "xyz";
    MakeDesktopLabel("report.txt", small, sizeof small);
    EXPECT_STREQ("rep", small) << "the label must stay within the caller's buffer";
    char gone[8] = "old";
    MakeDesktopLabel(NULL, gone, sizeof gone);
    EXPECT_STREQ("", gone);
}

TEST(DesktopPattern, ShortOrMissingMeansEverythingAndLongIsCut)
{
    SavedValue saved(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension");
    struct Case { const char* stored; const char* pattern; };
    for (Case c : { Case{ "", "*.*" }, Case{ "ab", "*.*" }, Case{ "*.lnk", "*.lnk" },
                    Case{ "*.doc", "*.doc" }, Case{ "*.html", "*.htm" } }) {
        SetRegString(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension", c.stored);
        char pattern[DESKTOP_PATTERN_SIZE] = "";
        ReadDesktopPattern(pattern);
        EXPECT_STREQ(c.pattern, pattern) << "stored: " << c.stored;
    }
    DeleteRegValue(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension");
    char pattern[DESKTOP_PATTERN_SIZE] = "";
    ReadDesktopPattern(pattern);
    EXPECT_STREQ("*.*", pattern);
    std::string created;
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension", &created))
        << "a missing pattern is stored empty";
    EXPECT_EQ("", created);
}

TEST(DesktopItemCount, AtMost255)
{
    EXPECT_EQ(0, DesktopItemCount(0));
    EXPECT_EQ(7, DesktopItemCount(7));
    EXPECT_EQ(255, DesktopItemCount(255));
    EXPECT_EQ(255, DesktopItemCount(256));
    EXPECT_EQ(255, DesktopItemCount(1000));
}

TEST(DesktopView, ListsFilesButNoFolderSortedWithLabelsAndOneImageEach)
{
    DesktopHost desk;
    for (const char* name : { "b.txt", "Zeta.doc", "a.bmp", "ab", "abc", "abcd", "report.html", "c" })
        desk.desktop.Write(name, "x");
    desk.desktop.Write("secret.txt", "hidden file");
    SetFileAttributesA(desk.desktop.File("secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA(desk.desktop.File("plain").c_str(), NULL);
    CreateDirectoryA(desk.desktop.File("ro").c_str(), NULL);
    SetFileAttributesA(desk.desktop.File("ro").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA(desk.desktop.File("hid").c_str(), NULL);
    SetFileAttributesA(desk.desktop.File("hid").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

    HWND view = desk.Build();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ("SysListView32", ClassOf(view));
    EXPECT_EQ("Desktop", WindowText(view));
    EXPECT_EQ(2000, GetDlgCtrlID(view));
    EXPECT_EQ(0x50001804, GetWindowLongA(view, GWL_STYLE) & 0xFFFFFFFF);

    // No folder is listed, whatever its further attributes; hidden files are.
    std::vector<std::string> names;
    for (int k = 1; k <= ListCount(DesktopFiles); ++k)
        names.push_back(ListGet(DesktopFiles, k, NULL));
    std::vector<std::string> expected = { "a.bmp", "ab", "abc", "abcd", "b.txt", "c",
                                          "report.html", "secret.txt", "Zeta.doc" };
    std::vector<std::string> labels = { "a", "ab", "", "", "b", "c", "report.", "secret", "Zeta" };
    EXPECT_EQ(expected, names);
    EXPECT_EQ(labels, Labels(view));
    ASSERT_NE(nullptr, DesktopImageList);
    EXPECT_EQ((int)labels.size(), ImageList_GetImageCount(DesktopImageList));
    for (int i = 0; i < ListViewItemCount(view); ++i)
        EXPECT_EQ(i, ItemImage(view, i));
    int width = 0, height = 0;
    ImageList_GetIconSize(DesktopImageList, &width, &height);
    EXPECT_EQ(32, width);
    EXPECT_EQ(32, height);

    // The view leaves the bottom 27 pixels of the parent to the taskbar.
    RECT rect;
    GetWindowRect(view, &rect);
    EXPECT_EQ(800, rect.right - rect.left);
    EXPECT_EQ(600 - 27, rect.bottom - rect.top);
    EXPECT_EQ((LRESULT)GetSysColor(COLOR_BACKGROUND), SendMessageA(view, LVM_GETBKCOLOR, 0, 0));
    EXPECT_EQ((LRESULT)GetSysColor(COLOR_CAPTIONTEXT), SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0));
}

TEST(DesktopView, ShortcutPatternShowsOnlyShortcutsAndNoMatchGivesAnEmptyView)
{
    {
        DesktopHost desk;
        for (const char* name : { "two.lnk", "one.lnk", "three.txt", "four.exe" })
            desk.desktop.Write(name, "not really a shortcut");
        HWND view = desk.Build("*.lnk");
        ASSERT_NE(nullptr, view);
        EXPECT_EQ((std::vector<std::string>{ "one", "two" }), Labels(view));
        EXPECT_EQ(2, ImageList_GetImageCount(DesktopImageList));
    }
    {
        DesktopHost desk;
        desk.desktop.Write("three.txt", "x");
        HWND view = desk.Build("*.xyz");
        ASSERT_NE(nullptr, view);
        EXPECT_EQ(0, ListViewItemCount(view));
        EXPECT_EQ(0, ListCount(DesktopFiles));
        EXPECT_EQ(0, ImageList_GetImageCount(DesktopImageList));
    }
    {
        DesktopHost desk;
        HWND view = desk.Build();
        ASSERT_NE(nullptr, view);
        EXPECT_EQ(0, ListViewItemCount(view)) << "an empty Desktop folder";
    }
}

// Past 255 files the view shows the first 255 names in sorted order; the file
// list keeps them all and items, images and names stay in step.
TEST(DesktopView, MoreThan255FilesShowTheFirst255InOrder)
{
    DesktopHost desk;
    for (int n = 299; n >= 0; --n) {
        char name[16];
        sprintf(name, "f%03d.txt", n);
        desk.desktop.Write(name, "");
    }
    HWND view = desk.Build();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(300, ListCount(DesktopFiles));
    ASSERT_EQ(255, ListViewItemCount(view));
    EXPECT_EQ(255, ImageList_GetImageCount(DesktopImageList));
    EXPECT_EQ("f000", ListViewItemText(view, 0));
    EXPECT_EQ("f128", ListViewItemText(view, 128));
    EXPECT_EQ("f254", ListViewItemText(view, 254));
    EXPECT_EQ(254, ItemImage(view, 254));
}

// A file without an extractable icon gets the document picture, and the next
// file still gets its own program's icon; the pictures of later files of the
// same kinds are the same again, each file with an image of its own.
TEST(DesktopView, FileWithoutIconGetsTheDocumentImageAndTheNextKeepsItsOwn)
{
    DesktopHost desk;
    desk.desktop.Write("a.zzz", "no program opens this");
    ASSERT_TRUE(CopyFileA(ShellExePath().c_str(), desk.desktop.File("b.exe").c_str(), FALSE));
    desk.desktop.Write("c.zzz", "nor this");
    ASSERT_TRUE(CopyFileA(ShellExePath().c_str(), desk.desktop.File("d.exe").c_str(), FALSE));
    desk.desktop.Write("e", "no extension at all");
    HWND view = desk.Build();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(5, ImageList_GetImageCount(DesktopImageList));

    HIMAGELIST reference = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR16, 2, 0);
    HICON document = (HICON)LoadImageA(AppInstance, MAKEINTRESOURCEA(136), IMAGE_ICON, 32, 32, 0);
    HICON program = ExtractIconA(AppInstance, desk.desktop.File("b.exe").c_str(), 0);
    ASSERT_NE(nullptr, document);
    ASSERT_NE(nullptr, program);
    ImageList_ReplaceIcon(reference, -1, document);
    ImageList_ReplaceIcon(reference, -1, program);
    EXPECT_EQ(ImagePixels(reference, 0), ImagePixels(DesktopImageList, 0)) << "a.zzz: document picture";
    EXPECT_EQ(ImagePixels(reference, 1), ImagePixels(DesktopImageList, 1)) << "b.exe: its own icon";
    EXPECT_NE(ImagePixels(DesktopImageList, 0), ImagePixels(DesktopImageList, 1));
    EXPECT_EQ(ImagePixels(reference, 0), ImagePixels(DesktopImageList, 2)) << "c.zzz";
    EXPECT_EQ(ImagePixels(reference, 1), ImagePixels(DesktopImageList, 3)) << "d.exe";
    EXPECT_EQ(ImagePixels(reference, 0), ImagePixels(DesktopImageList, 4)) << "e";
    for (int item = 0; item < 5; item++)
        EXPECT_EQ(item, ItemImage(view, item));
    DestroyIcon(document);
    DestroyIcon(program);
    ImageList_Destroy(reference);
}

// A type whose class gives "%1" as its icon is asked file by file; one with
// a fixed icon file shares the first file's image.
TEST(DesktopView, TypeIconsSharedOnlyWhereTheRegistrySaysSo)
{
    RegistryGuard perFileType(HKEY_CLASSES_ROOT, ".hxq"), perFileClass(HKEY_CLASSES_ROOT, "HxqTestFile");
    RegistryGuard sharedType(HKEY_CLASSES_ROOT, ".hxs"), sharedClass(HKEY_CLASSES_ROOT, "HxsTestFile");
    SetRegString(HKEY_CLASSES_ROOT, ".hxq", "", "HxqTestFile");
    SetRegString(HKEY_CLASSES_ROOT, "HxqTestFile\\DefaultIcon", "", "%1");
    SetRegString(HKEY_CLASSES_ROOT, ".hxs", "", "HxsTestFile");
    SetRegString(HKEY_CLASSES_ROOT, "HxsTestFile\\DefaultIcon", "", "shell32.dll,3");
    DesktopHost desk;
    ASSERT_TRUE(CopyFileA(ShellExePath().c_str(), desk.desktop.File("a.hxq").c_str(), FALSE));
    desk.desktop.Write("b.hxq", "no icon of its own");
    ASSERT_TRUE(CopyFileA(ShellExePath().c_str(), desk.desktop.File("c.hxs").c_str(), FALSE));
    desk.desktop.Write("d.hxs", "no icon of its own");
    ASSERT_NE(nullptr, desk.Build());
    ASSERT_EQ(4, ImageList_GetImageCount(DesktopImageList));
    EXPECT_NE(ImagePixels(DesktopImageList, 0), ImagePixels(DesktopImageList, 1)) << "b.hxq is asked itself";
    EXPECT_EQ(ImagePixels(DesktopImageList, 2), ImagePixels(DesktopImageList, 3)) << "d.hxs shares c.hxs's";
}

// F5 while the images of 255 files are still coming in: the new list, every
// third name gone and the rest shifted, ends with each file's own image (its
// program's icon, or else the document picture), as if asked one by one.
TEST(DesktopView, RefreshDuringTheImageFetchEndsWithEachFilesOwnImage)
{
    DesktopHost desk;
    auto write = [&](const char* prefix, int count) {
        for (int n = 0; n < count; ++n) {
            std::string name = prefix + std::to_string(1000 + n) + (n % 4 == 1 ? ".txt" : n % 4 == 3 ? ".zzz" : ".exe");
            if (n % 2)
                desk.desktop.Write(name, "x");
            else
                CopyFileA(n % 4 ? "C:\\windows\\notepad.exe" : ShellExePath().c_str(), desk.desktop.File(name).c_str(), FALSE);
        }
    };
    write("f", 255);
    ShowWindow(desk.host, SW_SHOWNOACTIVATE);
    UpdateWindow(DesktopViewWindow = CreateDesktopView(desk.host));
    ASSERT_GT(DesktopImagesPending(), 0) << "nothing left to fetch after the first paint";
    for (int k = 1; k <= 255; k += 3)
        DeleteFileA(desk.desktop.File(ListGet(DesktopFiles, k, NULL)).c_str());
    write("e", 40);
    RefreshDesktop(false);
    ASSERT_EQ(210, ListViewItemCount(DesktopViewWindow));
    ASSERT_EQ(210, ImageList_GetImageCount(DesktopImageList));
    ASSERT_TRUE(WaitFor([] { return DesktopImagesPending() == 0; }, 20000)) << DesktopImagesPending();
    for (int i = 0; i < 210; ++i) {
        char path[MAX_PATH];
        sprintf(path, "%s\\%s", ProgramInfo.desktopFolder, ListGet(DesktopFiles, i + 1, NULL));
        WORD index = 0;
        HICON icon = ExtractAssociatedIconA(AppInstance, path, &index);
        if (!icon)
            icon = (HICON)LoadImageA(AppInstance, MAKEINTRESOURCEA(136), IMAGE_ICON, 32, 32, 0);
        // A fresh list each time: icons with alpha are drawn over what the slot held.
        HIMAGELIST own = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR16, 1, 0);
        ImageList_ReplaceIcon(own, -1, icon);
        EXPECT_TRUE(ImagePixels(own, 0) == ImagePixels(DesktopImageList, i)) << "item " << i << ": " << path;
        DestroyIcon(icon);
        ImageList_Destroy(own);
    }
}

TEST(DesktopView, EnterOpensTheSelectedFileAndDoesNothingWithoutSelection)
{
    DesktopHost desk;
    MarkerBatch batch(desk.desktop, "open-me.bat");
    const std::string& marker = batch.marker;
    desk.desktop.Write("z-other.txt", "x");
    HWND view = desk.Build();
    ASSERT_EQ(2, ListViewItemCount(view));

    SetCurrentDirectoryA(batch.evidence.path.c_str());
    SendMessageA(view, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(Holds([&] { return !Exists(marker); }, 1500)) << "Enter with nothing selected opened something";

    SelectItem(view, 0);
    ASSERT_EQ(1, SendMessageA(view, LVM_GETSELECTEDCOUNT, 0, 0));
    SendMessageA(view, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitFor([&] { return Exists(marker); }, 15000)) << "Enter did not open open-me.bat";
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(0, lstrcmpiA(desk.desktop.path.c_str(), current)) << "the Desktop folder stays current";
    SetCurrentDirectoryA(ExeFolder().c_str());
}

// With the free-memory switch on, a double click starts the cleaner before
// the file opens; Enter opens it without.
TEST(DesktopView, FreeMemorySwitchCleansOnDoubleClickButNotOnEnter)
{
    DesktopHost desk;
    MarkerBatch batch(desk.desktop, "open-me.bat");
    const std::string& marker = batch.marker;
    HWND view = desk.Build();
    ShowWindow(desk.host, SW_SHOW);
    FreeMemOnLaunch = 1;
    SetCleanerBlockLimit(64 * 1024 * 1024);
    auto peak = [] {
        PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
        return memory.PeakWorkingSetSize;
    };
    SIZE_T before = peak();
    SelectItem(view, 0);
    SendMessageA(view, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(WaitFor([&] { return Exists(marker); }, 15000));
    EXPECT_LT(peak(), before + 32 * 1024 * 1024) << "Enter cleaned memory";
    DeleteFileA(marker.c_str());
    PostClick(view, WM_LBUTTONDBLCLK, WM_LBUTTONUP, FirstItemPoint(view), MK_LBUTTON);
    ASSERT_TRUE(WaitFor([&] { return Exists(marker); }, 15000));
    EXPECT_TRUE(WaitFor([&] { return peak() >= before + 32 * 1024 * 1024; }, 10000))
        << "the double click cleaned nothing";
    FreeMemOnLaunch = 0;
    SetCurrentDirectoryA(ExeFolder().c_str());
}

// After the images were released behind the view's back (as the Shut Down
// dialog does), the items show no image and a rebuild starts afresh.
TEST(DesktopView, ReleasedImagesLeaveItemsWithoutImagesUntilTheRefresh)
{
    DesktopHost desk;
    desk.desktop.Write("one.txt", "x");
    desk.desktop.Write("two.txt", "x");
    HWND view = desk.Build();
    ListClear(&DesktopFiles);
    SetDesktopBackgroundImage(view, NULL);
    ImageList_Remove(DesktopImageList, -1);
    ImageList_Destroy(DesktopImageList);
    DesktopImageList = NULL;
    SetViewColors(view, 0, 0, 0);
    EXPECT_EQ(0, SendMessageA(view, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    EXPECT_EQ(2, ListViewItemCount(view));
    EXPECT_EQ("", ListViewItemText(view, 1)) << "the name is gone";
    EXPECT_EQ(I_IMAGENONE, ItemImage(view, 1));
    EXPECT_EQ(0, SendMessageA(view, LVM_GETBKCOLOR, 0, 0));
    UpdateWindow(view);

    RefreshDesktop(false);
    ASSERT_NE(nullptr, DesktopViewWindow);
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ((std::vector<std::string>{ "one", "two" }), Labels(DesktopViewWindow));
    EXPECT_EQ(2, ImageList_GetImageCount(DesktopImageList));
}

namespace {

// A 64 x 64 tile, left half orange and right half teal, as a 24-bit BMP.
const COLORREF TileLeft = RGB(240, 128, 32), TileRight = RGB(32, 128, 160);

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) < 12 && abs(GetGValue(a) - GetGValue(b)) < 12 &&
           abs(GetBValue(a) - GetBValue(b)) < 12;
}

// The values a running shell's desktop reads, put back after it has ended.
struct DesktopValues {
    SavedValue tips{ HKEY_CURRENT_USER, ProductKeyPath, "ShowTTS" };
    SavedValue pattern{ HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension" };
    SavedValue video{ HKEY_CURRENT_USER, ProductKeyPath, "Video" };
    SavedValue wallpaper{ HKEY_CURRENT_USER, WallpaperKey, "WallPaper" };
};

// The shell started over a Desktop folder of this test's own.
struct RunningShell : DesktopValues, DesktopShell {
    RunningShell()
    {
        SetRegDword(HKEY_CURRENT_USER, ProductKeyPath, "ShowTTS", 1);
        SetRegString(HKEY_CURRENT_USER, ProductKeyPath, "DesktopExtension", "");
        SetRegString(HKEY_CURRENT_USER, WallpaperKey, "WallPaper", "");
    }
    HWND View() const { return GetDlgItem(main, 2000); }
};

// Where the first icon of the view stands: its item becomes selected there.
POINT FirstItemPoint(HWND view)
{
    DWORD spacing = (DWORD)SendMessageA(view, LVM_GETITEMSPACING, FALSE, 0);
    POINT point = { LOWORD(spacing) / 2, 18 };
    return point;
}

void PostClick(HWND view, UINT down, UINT up, POINT at, WPARAM keys)
{
    PostMessageA(view, down, keys, MAKELPARAM(at.x, at.y));
    PostMessageA(view, up, 0, MAKELPARAM(at.x, at.y));
}

} // namespace

TEST(ShellDesktop, RefreshRebuildsWithTheNewFileAndPlacesTaskbar)
{
    RunningShell run;
    run.desktop.Write("one.txt", "1");
    run.desktop.Write("two.txt", "2");
    ASSERT_TRUE(run.Start());
    HWND view = run.View();
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(WaitFor([&] { return ListViewItemCount(view) == 2; }, 3000)) << ListViewItemCount(view);

    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    RECT clock;
    GetWindowRect(GetDlgItem(run.main, 2), &clock);
    EXPECT_EQ(width - 40, clock.left);
    EXPECT_EQ(height - 22, clock.top);
    EXPECT_EQ(57, clock.right - clock.left);

    run.desktop.Write("three.txt", "3");
    PostKey(run.main, VK_F5);
    ASSERT_TRUE(WaitFor([&] { return run.View() && run.View() != view; }, 5000)) << "F5 rebuilt no view";
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(3, ListViewItemCount(run.View()));

    EXPECT_TRUE(Placed(GetDlgItem(run.main, 666), 0, height - 25, 57, 25)) << "the Start button";
    EXPECT_TRUE(Placed(GetDlgItem(run.main, 2), width - 40, height - 21, 50, 25)) << "the clock";
    RECT viewRect;
    GetWindowRect(run.View(), &viewRect);
    EXPECT_EQ(height - 27, viewRect.bottom);
}

// F5 applies a stored "Video" of 800 or 1024 where the display takes the mode,
// and the shell follows the screen's new size.
TEST(ShellDesktop, RefreshAppliesTheStoredVideoMode)
{
    RunningShell run;
    ASSERT_TRUE(run.Start());
    DEVMODEA before = {};
    before.dmSize = sizeof before;
    EnumDisplaySettingsA(NULL, ENUM_REGISTRY_SETTINGS, &before);
    for (DWORD video : {800u, 1024u}) {
        DEVMODEA mode = before;
        mode.dmPelsWidth = video;
        mode.dmPelsHeight = video * 3 / 4;
        mode.dmBitsPerPel = 16;
        bool accepted = ChangeDisplaySettingsA(&mode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
        if (!accepted)
            printf("the display refuses %lu x %lu x 16\n", video, video * 3 / 4);
        SetRegDword(HKEY_CURRENT_USER, ProductKeyPath, "Video", video);
        HWND view = run.View();
        PostKey(run.main, VK_F5);
        ASSERT_TRUE(WaitFor([&] { return run.View() && run.View() != view; }, 5000)) << video;
        EnumDisplaySettingsA(NULL, ENUM_REGISTRY_SETTINGS, &mode);
        EXPECT_EQ(accepted ? video : before.dmPelsWidth, mode.dmPelsWidth);
        RECT main;
        GetWindowRect(run.main, &main);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), main.right - main.left);
        if (accepted)
            EXPECT_EQ((int)video, GetSystemMetrics(SM_CXSCREEN));
    }
    ChangeDisplaySettingsA(&before, CDS_UPDATEREGISTRY);
}

TEST(ShellDesktop, DoubleClickOpensTheFileAndRightClickShowsTheMenuAtTheCursor)
{
    RunningShell run;
    MarkerBatch batch(run.desktop, "a-open.bat");
    const std::string& marker = batch.marker;
    run.desktop.Write("b-other.txt", "x");
    ASSERT_TRUE(run.Start());
    HWND view = run.View();
    ASSERT_TRUE(WaitFor([&] { return ListViewItemCount(view) == 2; }, 3000));

    // A double click on empty space selects nothing and opens nothing.
    POINT empty = { 700, 450 };
    PostClick(view, WM_LBUTTONDOWN, WM_LBUTTONUP, empty, MK_LBUTTON);
    PostClick(view, WM_LBUTTONDBLCLK, WM_LBUTTONUP, empty, MK_LBUTTON);
    EXPECT_TRUE(Holds([&] { return !Exists(marker); }, 1000));

    POINT first = FirstItemPoint(view);
    PostClick(view, WM_LBUTTONDOWN, WM_LBUTTONUP, first, MK_LBUTTON);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(view, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED) == 0; }, 3000))
        << "the click did not select the first icon";
    PostClick(view, WM_LBUTTONDBLCLK, WM_LBUTTONUP, first, MK_LBUTTON);
    EXPECT_TRUE(WaitFor([&] { return Exists(marker); }, 15000)) << "the double click opened nothing";

    SetCursorPos(300, 200);
    POINT at = { 300, 200 };
    PostClick(view, WM_RBUTTONDOWN, WM_RBUTTONUP, at, MK_RBUTTON);
    HWND menu = run.shell.WaitForWindow("#32768", nullptr, 5000);
    ASSERT_NE(nullptr, menu) << "no commands menu on a right click";
    RECT rect;
    GetWindowRect(menu, &rect);
    EXPECT_EQ(300, rect.left);
    EXPECT_EQ(200, rect.top);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 3000));
}

// Icons of several kinds over a tiled wallpaper: it must show between them.
TEST(ShellDesktop, WallpaperShowsBehindTheIcons)
{
    RunningShell run;
    TempFolder pictures;
    std::string wallpaper = pictures.File("tiles.bmp");
    ASSERT_TRUE(WriteBitmapFile(wallpaper, 64, 64, [](int x, int) { return x < 32 ? TileLeft : TileRight; }));
    SetRegString(HKEY_CURRENT_USER, WallpaperKey, "WallPaper", wallpaper.c_str());
    for (const char* name : { "Letter to Ann.txt", "Holiday.bmp", "Budget.xls", "Readme.doc", "Start game.lnk" })
        run.desktop.Write(name, "x");
    WriteMarkerBatch(run.desktop, "Backup.bat", pictures.File("unused.txt"));
    CopyFileA(ShellExePath().c_str(), run.desktop.File("Halcyne copy.exe").c_str(), FALSE);
    CreateDirectoryA(run.desktop.File("Projects").c_str(), NULL);
    SetFileAttributesA(run.desktop.File("Projects").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(WaitFor([&] { return ListViewItemCount(run.View()) == 7; }, 3000)) << ListViewItemCount(run.View());

    // Far from the icons, the view shows the wallpaper's tiles.
    int tileLeft = 0, tileRight = 0;
    WaitFor([&] {
        tileLeft = tileRight = 0;
        for (int x = 420; x < 548; x += 4) {
            COLORREF colour = PixelAt(NULL, x, 650);
            tileLeft += Near(colour, TileLeft);
            tileRight += Near(colour, TileRight);
        }
        return tileLeft > 8 && tileRight > 8;
    });
    EXPECT_GT(tileLeft, 8) << "no wallpaper behind the icons";
    EXPECT_GT(tileRight, 8) << "no wallpaper behind the icons";
}

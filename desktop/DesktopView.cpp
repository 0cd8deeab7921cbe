// The desktop icon view: a virtual large-icon list of the Desktop folder's
// files over the Windows wallpaper, rebuilt whole by the refresh command.
#include "desktop/Desktop.h"
#include "core/Core.h"
#include "core/Shared.h"
#include "res/resource.h"
#include "taskbar/Taskbar.h"
#include <objbase.h>
#include <shellapi.h>

HWND DesktopViewWindow;
StringList DesktopFiles;
HIMAGELIST DesktopImageList;
BYTE FreeMemOnLaunch;

static const char DesktopViewStyleText[] = "Desktop";
static const DWORD DesktopViewStyle =
    WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SINGLESEL | LVS_ALIGNLEFT | LVS_OWNERDATA;

static void SizeDesktopView(HWND view);
static void OpenSelectedFile();

void ReadDesktopPattern(char* pattern)
{
    char stored[256];
    ReadStringWithDefault(stored, HKEY_CURRENT_USER, ProductKey, "DesktopExtension", "");
    // The pattern field holds five characters; anything longer is cut.
    lstrcpynA(pattern, stored, DESKTOP_PATTERN_SIZE);
    if (lstrlenA(pattern) < 3)
        lstrcpynA(pattern, "*.*", DESKTOP_PATTERN_SIZE);
}

// The label is the name without its last four characters ("report.txt" ->
// "report"); names of one or two characters are shown whole.
void MakeDesktopLabel(const char* name, char* label, int size)
{
    if (size <= 0)
        return;
    label[0] = 0;
    if (!name)
        return;
    int length = lstrlenA(name);
    int keep = length >= 5 ? length - 4 : (length <= 2 ? length : 0);
    int count = keep + 1 < size ? keep + 1 : size;
    lstrcpynA(label, name, count);
}

BYTE DesktopItemCount(int fileCount)
{
    if (fileCount <= 0)
        return 0;
    return (BYTE)(fileCount > DESKTOP_MAX_ITEMS ? DESKTOP_MAX_ITEMS : fileCount);
}

static void BuildFilePath(char* path, const char* name)
{
    lstrcpynA(path, ProgramInfo.desktopFolder, MAX_PATH);
    int length = lstrlenA(path);
    if (length < MAX_PATH - 1)
        lstrcpynA(path + length, "\\", MAX_PATH - length);
    length = lstrlenA(path);
    if (length < MAX_PATH - 1)
        lstrcpynA(path + length, name, MAX_PATH - length);
}

// Documents of one type show their program's icon, so each type whose icon
// is shared is looked up once per build and its image copied for the other
// files of that type; the document picture is copied the same way. Every
// other file is asked one by one.
struct ImageCache {
    struct Entry {
        char extension[16];
        BOOL shared;        // per file when not
        int image;          // the shared image, -1 until there is one
    };
    Entry entries[32];
    int count;
    int documentImage;      // -1 until the document picture is in the list
};

// The default value of a key under HKEY_CLASSES_ROOT; false when there is none.
static BOOL ReadClassText(const char* keyPath, char* text, DWORD size)
{
    HKEY key;
    text[0] = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0;
    DWORD length = size - 1;
    LONG result = RegQueryValueExA(key, NULL, NULL, &type, (BYTE*)text, &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return FALSE;
    text[length < size ? length : size - 1] = 0;
    return text[0] != 0;
}

// The registry's own rule: a type shares one icon only when its class's
// DefaultIcon names a fixed file and index (not "%1", each file's own) and
// no icon handler picks one per file.
static BOOL TypeIconIsShared(const char* extension)
{
    char className[128];
    char keyPath[MAX_PATH];
    char icon[MAX_PATH];
    if (!ReadClassText(extension, className, sizeof className))
        return FALSE;
    lstrcpyA(keyPath, className);
    lstrcatA(keyPath, "\\shellex\\IconHandler");
    HKEY handler;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_READ, &handler) == ERROR_SUCCESS) {
        RegCloseKey(handler);
        return FALSE;
    }
    lstrcpyA(keyPath, className);
    lstrcatA(keyPath, "\\DefaultIcon");
    if (!ReadClassText(keyPath, icon, sizeof icon))
        return FALSE;
    for (const char* c = icon; *c; c++)
        if (c[0] == '%' && c[1] == '1')
            return FALSE;
    return TRUE;
}

// A file's extension, or null when it has none that could name a type.
static const char* FileExtension(const char* name)
{
    const char* dot = NULL;
    for (const char* c = name; *c; c++) {
        if (*c == '.')
            dot = c;
        else if (*c == '\\')
            dot = NULL;
    }
    if (!dot || !dot[1] || lstrlenA(dot) >= 16)
        return NULL;
    return dot;
}

// The type of an extension as the registry was found for it, looked up the
// first time it is met; null for no extension or a full cache.
static ImageCache::Entry* FileType(ImageCache* cache, const char* extension)
{
    if (!extension)
        return NULL;
    for (int i = 0; i < cache->count; i++)
        if (lstrcmpiA(cache->entries[i].extension, extension) == 0)
            return &cache->entries[i];
    if (cache->count >= (int)(sizeof cache->entries / sizeof cache->entries[0]))
        return NULL;
    ImageCache::Entry* entry = &cache->entries[cache->count++];
    lstrcpynA(entry->extension, extension, sizeof entry->extension);
    entry->shared = TypeIconIsShared(extension);
    entry->image = -1;
    return entry;
}

// Copies an image already in the list over another slot.
static BOOL CopyListImage(HIMAGELIST images, int target, int source)
{
    int count = ImageList_GetImageCount(images);
    if (source < 0 || source >= count || source == target)
        return FALSE;
    return ImageList_Copy(images, target, images, source, ILCF_MOVE);
}

static BOOL PutIcon(HIMAGELIST images, int target, HICON icon)
{
    return icon && ImageList_ReplaceIcon(images, target, icon) == target;
}

// Every file has exactly one image, so item i always shows image i: when no
// icon comes from the file's program, the document picture stands in, and
// failing that the slot stays blank.
static void PutFileImage(HIMAGELIST images, int target, const char* name, ImageCache* cache)
{
    ImageCache::Entry* type = FileType(cache, FileExtension(name));
    if (type && type->shared && CopyListImage(images, target, type->image))
        return;
    char path[MAX_PATH];
    BuildFilePath(path, name);
    // The index word is reset for every file: the call writes a fallback
    // index into it, which would give the next file a wrong icon.
    WORD iconIndex = 0;
    HICON icon = ExtractAssociatedIconA(AppInstance, path, &iconIndex);
    BOOL placed = PutIcon(images, target, icon);
    if (icon)
        DestroyIcon(icon);
    if (!placed && !CopyListImage(images, target, cache->documentImage)) {
        HICON document = (HICON)LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_DOCUMENT), IMAGE_ICON,
                                           32, 32, LR_DEFAULTCOLOR);
        if (PutIcon(images, target, document))
            cache->documentImage = target;
        if (document)
            DestroyIcon(document);
    }
    if (type && type->shared)
        type->image = target;
}

// Images come when they are first needed: the view asks for those of the
// items it draws, so the first paint waits only for the icons on screen, and
// the rest are fetched a few at a time while the thread is idle. The slots
// exist from the start, so item i and image i stay in step whatever the order.
static ImageCache ImageTypes;
static bool ImageFetched[DESKTOP_MAX_ITEMS];
static int ImageSlots;
static int ImagesPending;
static int NextIdleImage;
// Small enough that a batch never holds up input or painting.
static const int IdleImageBatch = 8;

static void FetchItemImage(int item)
{
    if (!DesktopImageList || item < 0 || item >= ImageSlots || ImageFetched[item])
        return;
    ImageFetched[item] = true;
    ImagesPending--;
    const char* name = ListGet(DesktopFiles, item + 1, NULL);
    if (name)
        PutFileImage(DesktopImageList, item, name, &ImageTypes);
}

// Timer messages come after input and painting, so this runs when the
// thread has nothing else to do. The timer dies with its view, which ends
// the fetch for a list that a refresh replaced.
static void CALLBACK FetchImagesWhenIdle(HWND view, UINT, UINT_PTR timer, DWORD)
{
    for (int fetched = 0; fetched < IdleImageBatch && NextIdleImage < ImageSlots; NextIdleImage++) {
        if (!ImageFetched[NextIdleImage]) {
            FetchItemImage(NextIdleImage);
            fetched++;
        }
    }
    if (NextIdleImage >= ImageSlots || !DesktopImageList || view != DesktopViewWindow)
        KillTimer(view, timer);
}

static void StartImageFetch(HWND view, int itemCount)
{
    ImageTypes.count = 0;
    ImageTypes.documentImage = -1;
    ZeroMemory(ImageFetched, sizeof ImageFetched);
    ImageSlots = ImageList_SetImageCount(DesktopImageList, itemCount) ? itemCount : 0;
    ImagesPending = ImageSlots;
    NextIdleImage = 0;
    if (ImagesPending)
        SetTimer(view, IDT_DESKTOP_IMAGES, 0, FetchImagesWhenIdle);
}

int DesktopImagesPending()
{
    return DesktopImageList ? ImagesPending : 0;
}

// After the images were released elsewhere without the view being told, it
// must neither draw with the destroyed list nor destroy it a second time.
static void DetachReleasedImages(HWND view)
{
    if (!DesktopImageList && SendMessageA(view, LVM_GETIMAGELIST, LVSIL_NORMAL, 0))
        SendMessageA(view, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
}

void ReleaseDesktopImages()
{
    if (!DesktopImageList)
        return;
    // The view destroys an image list still attached to it when it is
    // destroyed itself: take it away first so it is released only once.
    if (DesktopViewWindow && IsWindow(DesktopViewWindow))
        SendMessageA(DesktopViewWindow, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    ImageList_Remove(DesktopImageList, -1);
    ImageList_Destroy(DesktopImageList);
    DesktopImageList = NULL;
}

// A Desktop folder that is unknown, missing or cannot be entered lists
// nothing: the search would otherwise run where the process stands, for a
// boot shell the system folder with its command prompt and registry editor.
static BOOL CanEnterFolder(const char* folder)
{
    if (!folder[0])
        return FALSE;
    char previous[MAX_PATH];
    previous[0] = 0;
    GetCurrentDirectoryA(MAX_PATH, previous);
    BOOL entered = SetCurrentDirectoryA(folder);
    if (entered && previous[0])
        SetCurrentDirectoryA(previous);
    return entered;
}

HWND CreateDesktopView(HWND parent)
{
    HWND view = CreateWindowExA(0, WC_LISTVIEWA, DesktopViewStyleText, DesktopViewStyle, 0, 0, 0, 0,
                                parent, (HMENU)(INT_PTR)IDC_DESKTOP_VIEW, AppInstance, NULL);
    if (!view)
        return NULL;
    DesktopImageList = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR16, 1, 32);
    if (!DesktopImageList)
        return view;
    SendMessageA(view, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(view, LVM_SETIMAGELIST, LVSIL_NORMAL, (LPARAM)DesktopImageList);
    SizeDesktopView(view);

    char pattern[DESKTOP_PATTERN_SIZE];
    ReadDesktopPattern(pattern);
    int fileCount = CanEnterFolder(ProgramInfo.desktopFolder)
                        ? ListFillFromFolder(&DesktopFiles, ProgramInfo.desktopFolder, pattern)
                        : ListCount(DesktopFiles);
    ListSort(DesktopFiles, 1, fileCount);
    BYTE itemCount = DesktopItemCount(fileCount);
    StartImageFetch(view, itemCount);
    SendMessageA(view, LVM_SETITEMCOUNT, itemCount, 0);
    LoadWallpaperBackground(view);
    return view;
}

static void SizeDesktopView(HWND view)
{
    RECT client;
    GetClientRect(GetParent(view), &client);
    MoveWindow(view, client.left, client.top, client.right - client.left,
               client.bottom - client.top - DESKTOP_TASKBAR_GAP, TRUE);
    SetViewColors(view, GetSysColor(COLOR_BACKGROUND), GetSysColor(COLOR_BACKGROUND),
                  GetSysColor(COLOR_CAPTIONTEXT));
}

void SetViewColors(HWND view, COLORREF background, COLORREF textBackground, COLORREF text)
{
    DetachReleasedImages(view);
    SendMessageA(view, LVM_SETBKCOLOR, 0, (LPARAM)background);
    SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, (LPARAM)textBackground);
    SendMessageA(view, LVM_SETTEXTCOLOR, 0, (LPARAM)text);
}

// A bitmap the size of the view with the picture tiled over it, for list
// views that take no file path (Wine's); the view owns it once accepted.
static void SetTiledBitmapBackground(HWND view, const char* imagePath)
{
    HBITMAP tile = (HBITMAP)LoadImageA(NULL, imagePath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!tile)
        return;
    BITMAP tileSize;
    GetObjectA(tile, sizeof tileSize, &tileSize);
    RECT client;
    GetClientRect(view, &client);
    HDC screen = GetDC(NULL);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP tiled = CreateCompatibleBitmap(screen, client.right > 0 ? client.right : 1,
                                           client.bottom > 0 ? client.bottom : 1);
    HGDIOBJ oldSource = SelectObject(source, tile);
    HGDIOBJ oldTarget = SelectObject(target, tiled);
    for (int y = 0; tileSize.bmHeight > 0 && y < client.bottom; y += tileSize.bmHeight)
        for (int x = 0; tileSize.bmWidth > 0 && x < client.right; x += tileSize.bmWidth)
            BitBlt(target, x, y, tileSize.bmWidth, tileSize.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(NULL, screen);
    DeleteObject(tile);

    LVBKIMAGEA image;
    ZeroMemory(&image, sizeof image);
    image.ulFlags = LVBKIF_SOURCE_HBITMAP | LVBKIF_STYLE_TILE;
    image.hbm = tiled;
    if (!SendMessageA(view, LVM_SETBKIMAGEA, 0, (LPARAM)&image))
        DeleteObject(tiled);
}

void SetDesktopBackgroundImage(HWND view, const char* imagePath)
{
    LVBKIMAGEA image;
    ZeroMemory(&image, sizeof image);
    if (imagePath) {
        image.ulFlags = LVBKIF_SOURCE_URL | LVBKIF_STYLE_TILE;
        image.pszImage = (LPSTR)imagePath;
    } else {
        image.ulFlags = LVBKIF_SOURCE_NONE;
    }
    // The view loads the picture through COM on this thread; the main
    // window's release step balances these calls once.
    CoInitialize(NULL);
    if (SendMessageA(view, LVM_SETBKIMAGEA, 0, (LPARAM)&image) || !imagePath || !imagePath[0])
        return;
    SetTiledBitmapBackground(view, imagePath);
}

void LoadWallpaperBackground(HWND view)
{
    char wallpaper[MAX_PATH];
    ReadString(wallpaper, HKEY_CURRENT_USER, "Control Panel\\Desktop\\", "WallPaper");
    SetDesktopBackgroundImage(view, wallpaper);
}

static BOOL HasSelection()
{
    return SendMessageA(DesktopViewWindow, LVM_GETSELECTEDCOUNT, 0, 0) != 0;
}

static void OnGetDisplayInfo(NMLVDISPINFOA* info)
{
    int item = info->item.iItem;
    if (info->item.mask & LVIF_TEXT) {
        const char* name = NULL;
        if (item >= 0 && item < ListCount(DesktopFiles))
            name = ListGet(DesktopFiles, item + 1, NULL);
        MakeDesktopLabel(name, info->item.pszText, info->item.cchTextMax);
    }
    if (info->item.mask & LVIF_IMAGE) {
        FetchItemImage(item);
        info->item.iImage = DesktopImageList ? item : I_IMAGENONE;
    }
}

static void OnKeyDown(const NMLVKEYDOWN* key)
{
    if (key->wVKey == VK_RETURN && HasSelection())
        OpenSelectedFile();
}

static void OnRightClick()
{
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(CommandsMenu, 0, cursor.x, cursor.y, 0, MainWindow, NULL);
}

static void OnDoubleClick()
{
    if (!HasSelection())
        return;
    if (FreeMemOnLaunch)
        StartWorkerThread(MemoryCleaner, 0, 0);
    OpenSelectedFile();
}

LRESULT HandleDesktopNotify(NMHDR* header)
{
    switch (header->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo((NMLVDISPINFOA*)header); break;
    case LVN_KEYDOWN:      OnKeyDown((NMLVKEYDOWN*)header); break;
    case NM_RCLICK:        OnRightClick(); break;
    case NM_DBLCLK:        OnDoubleClick(); break;
    }
    return 0;
}

static void OpenSelectedFile()
{
    // The Desktop folder stays the current directory, so the opened
    // program starts there. Outside it a name could open anything of the
    // same name where the process stands.
    if (!ProgramInfo.desktopFolder[0] || !SetCurrentDirectoryA(ProgramInfo.desktopFolder))
        return;
    int item = (int)SendMessageA(DesktopViewWindow, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (item < 0 || item >= ListCount(DesktopFiles))
        return;
    const char* name = ListGet(DesktopFiles, item + 1, NULL);
    if (name)
        ShellExecuteA(NULL, "open", name, "", "", SW_SHOWNORMAL);
}

// The mode stored in the registry, not the one shown, so the stored refresh
// rate and flags survive the change.
int ChangeScreenMode(int width, int height, int bitsPerPixel)
{
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_REGISTRY_SETTINGS, &mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    ChangeDisplaySettingsA(&mode, CDS_UPDATEREGISTRY);
    return 0;
}

void ApplyVideoSetting()
{
    DWORD video = ReadDword(HKEY_CURRENT_USER, ProductKey, "Video");
    if (video == 800)
        ChangeScreenMode(800, 600, 16);
    else if (video == 1024)
        ChangeScreenMode(1024, 768, 16);
}

void RefreshDesktop(bool applyVideo)
{
    if (applyVideo)
        ApplyVideoSetting();
    ReadScreenSize(&ScreenSize);
    // The old view goes in a moment: taking its image list away must not make
    // it lay out and draw all its items once more first.
    SendMessageA(DesktopViewWindow, WM_SETREDRAW, FALSE, 0);
    ReleaseDesktopImages();
    ListClear(&DesktopFiles);
    DestroyWindow(DesktopViewWindow);
    MoveWindow(MainWindow, 0, 0, ScreenSize.width, ScreenSize.height, TRUE);
    DesktopViewWindow = CreateDesktopView(MainWindow);
    // With its drawing off, the old view left no repaint behind it.
    if (!DesktopViewWindow)
        InvalidateRect(MainWindow, NULL, TRUE);
    PlaceTaskbarControls();
}

// The view keeps its items, which now show neither icon nor label; the image
// list is gone so that the rebuild finds none to release.
void BlankDesktop()
{
    ListClear(&DesktopFiles);
    SetDesktopBackgroundImage(DesktopViewWindow, NULL);
    ReleaseDesktopImages();
    SetViewColors(DesktopViewWindow, 0, 0, 0);
}

// The first steps of the main window's release: the file list, then the COM
// use that the background image began.
void ReleaseDesktopFiles()
{
    ListClear(&DesktopFiles);
    CoUninitialize();
}

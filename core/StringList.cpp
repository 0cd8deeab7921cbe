// The one container of the shell: a singly linked list of heap strings,
// newest first. Insertion index 1 is the oldest entry; position 1 the newest.
#include "core/Core.h"
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

static ListAllocProc ListAlloc = malloc;

void SetListAlloc(ListAllocProc alloc) { ListAlloc = alloc ? alloc : malloc; }

// Null when memory is short: every caller then leaves its list as it was.
static char* CopyText(const char* text)
{
    size_t length = strlen(text);
    char* copy = (char*)ListAlloc(length + 1);
    if (copy)
        memcpy(copy, text, length + 1);
    return copy;
}

// The node that holds insertion index `index`; an index past the count
// addresses the newest entry.
static StringNode* NodeAt(StringList list, int index)
{
    int steps = ListCount(list) - index;
    StringNode* node = list;
    while (steps-- > 0 && node->next)
        node = node->next;
    return node;
}

int ListPushFront(StringList* list, const char* text)
{
    StringNode* node = (StringNode*)ListAlloc(sizeof(StringNode));
    char* copy = node ? CopyText(text ? text : "") : NULL;
    if (!copy) {
        free(node);
        return 1;
    }
    node->text = copy;
    node->next = *list;
    *list = node;
    return 0;
}

int ListCount(StringList list)
{
    int count = 0;
    for (StringNode* node = list; node; node = node->next)
        count++;
    return count;
}

char* ListGet(StringList list, int index, char* destination)
{
    if (!list)
        return NULL;
    StringNode* node = NodeAt(list, index);
    if (destination)
        strcpy(destination, node->text);
    return node->text;
}

int ListReplace(StringList list, int index, const char* text)
{
    if (!list)
        return 1;
    StringNode* node = NodeAt(list, index);
    char* copy = CopyText(text ? text : "");
    if (!copy)
        return 1;
    free(node->text);
    node->text = copy;
    return 0;
}

int ListPopFront(StringList* list)
{
    StringNode* node = *list;
    if (!node)
        return 0;
    *list = node->next;
    free(node->text);
    free(node);
    return 0;
}

int ListClear(StringList* list)
{
    while (*list)
        ListPopFront(list);
    return 0;
}

int ListFillFromFolder(StringList* list, const char* folder, const char* pattern)
{
    char previous[MAX_PATH];
    previous[0] = 0;
    GetCurrentDirectoryA(MAX_PATH, previous);
    // A folder that cannot be entered leaves the search where the process
    // stands (the MP3 player lists that folder's tracks); the desktop checks
    // its folder first.
    if (folder)
        SetCurrentDirectoryA(folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // Opening a folder would give the guest a file window, so none
            // is listed, whatever its other attribute bits.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ListPushFront(list, found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (previous[0])
        SetCurrentDirectoryA(previous);
    return ListCount(*list);
}

// The window list belongs to the enumeration and lives until the next call.
static StringList WindowList = NULL;

static BOOL CALLBACK AddVisibleWindow(HWND window, LPARAM)
{
    if (IsWindowVisible(window)) {
        char text[24];
        WindowToText(window, text, sizeof text);
        ListPushFront(&WindowList, text);
    }
    return TRUE;
}

int ListVisibleWindows(StringList* windows)
{
    ListClear(&WindowList);
    EnumWindows(AddVisibleWindow, 0);
    *windows = WindowList;
    return ListCount(WindowList);
}

// Positions in the titles must match indexes in the windows, so a title that
// cannot be added takes back the ones added before it.
int ListWindowTitles(StringList windows, StringList* titles)
{
    StringList before = *titles;
    for (int index = ListCount(windows); index >= 1; index--) {
        char title[64];
        title[0] = 0;
        HWND window = TextToWindow(ListGet(windows, index, NULL));
        if (!GetWindowTextA(window, title, sizeof title))
            title[0] = 0;
        if (ListPushFront(titles, title) != 0) {
            while (*titles != before)
                ListPopFront(titles);
            return 1;
        }
    }
    return 0;
}

StringList ListVisibleTitles(StringList* windows)
{
    *windows = NULL;
    ListVisibleWindows(windows);
    StringList titles = NULL;
    ListWindowTitles(*windows, &titles);
    return titles;
}

// lstrcmpiA of the first `length` characters of both texts.
static BOOL SamePrefix(const char* entry, const char* key, int length)
{
    char left[256];
    char right[256];
    lstrcpynA(left, entry, length + 1);
    lstrcpynA(right, key, length + 1);
    return lstrcmpiA(left, right) == 0;
}

int ListFindPrefix(StringList list, const char* text, BYTE length)
{
    int position = 1;
    for (StringNode* node = list; node; node = node->next, position++) {
        if (SamePrefix(node->text, text, length))
            return position;
    }
    return -1;
}

int ListRemoveTitle(StringList* list, const char* title)
{
    size_t length = strlen(title);
    int position = ListFindPrefix(*list, title, (BYTE)(length > 255 ? 255 : length));
    if (position == -1)
        return 0;
    StringNode** link = list;
    while (--position > 0)
        link = &(*link)->next;
    StringNode* gone = *link;
    *link = gone->next;
    free(gone->text);
    free(gone);
    return ListCount(*list);
}

// Texts are exchanged by their pointers: the sort needs no memory, and the
// pivot's text stays whole wherever it moves.
static void SwapTexts(StringList list, int first, int second)
{
    StringNode* one = NodeAt(list, first);
    StringNode* other = NodeAt(list, second);
    char* text = one->text;
    one->text = other->text;
    other->text = text;
}

int ListSort(StringList list, int low, int high)
{
    if (low >= high || !list)
        return 0;
    // The scans stay inside the range, whatever the comparison gives.
    const char* pivot = ListGet(list, (low + high) / 2, NULL);
    int i = low;
    int j = high;
    do {
        while (i < high && lstrcmpA(ListGet(list, i, NULL), pivot) < 0)
            i++;
        while (j > low && lstrcmpA(ListGet(list, j, NULL), pivot) > 0)
            j--;
        if (i <= j) {
            SwapTexts(list, i, j);
            i++;
            j--;
        }
    } while (i <= j);
    if (j > low)
        ListSort(list, low, j);
    if (i < high)
        ListSort(list, i, high);
    return 0;
}

char* ChangeCase(BYTE upper, char* text, int from, int to)
{
    if (!text)
        return NULL;
    int length = (int)strlen(text);
    if (length < from || length < to)
        return NULL;
    if (to == 0)
        to = length;
    for (int index = from; index < to; index++) {
        unsigned char letter = (unsigned char)text[index];
        text[index] = (char)(upper ? toupper(letter) : tolower(letter));
    }
    return text;
}

void WindowToText(HWND window, char* text, int size)
{
    char digits[24];
    // Window handles are 32-bit values on every version of the platform.
    _ltoa((long)(LONG_PTR)window, digits, 10);
    lstrcpynA(text, digits, size);
}

HWND TextToWindow(const char* text)
{
    return text ? (HWND)(LONG_PTR)atol(text) : NULL;
}

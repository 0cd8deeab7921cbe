// The string list: both numberings, the prefix search, removal by title,
// filling from a real folder and from the real window manager, the sort.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "core/Core.h"
#include "support/TestSupport.h"

namespace {

struct OwnedList {
    StringList list = NULL;
    ~OwnedList() { ListClear(&list); }
};

std::vector<std::string> ByInsertion(StringList list)
{
    std::vector<std::string> texts;
    for (int index = 1; index <= ListCount(list); index++)
        texts.push_back(ListGet(list, index, NULL));
    return texts;
}

TEST(StringList, InsertionIndexAndPositionNumberEntriesFromOppositeEnds)
{
    OwnedList owned;
    ListPushFront(&owned.list, "Alpha");
    ListPushFront(&owned.list, "Bravo");
    ListPushFront(&owned.list, "Charlie");
    ASSERT_EQ(3, ListCount(owned.list));
    char copy[16] = "";
    EXPECT_STREQ("Alpha", ListGet(owned.list, 1, copy));
    EXPECT_STREQ("Alpha", copy);
    EXPECT_STREQ("Charlie", ListGet(owned.list, 3, NULL));
    EXPECT_STREQ("Charlie", ListGet(owned.list, 4, NULL)) << "an index past the count is the newest";
    EXPECT_EQ(1, ListFindPrefix(owned.list, "Charlie", 2));
    EXPECT_EQ(3, ListFindPrefix(owned.list, "Alpha", 5));

    EXPECT_EQ(0, ListReplace(owned.list, 2, "Delta"));
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Delta", "Charlie"}), ByInsertion(owned.list));
    ListPopFront(&owned.list);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Delta"}), ByInsertion(owned.list));
    ListClear(&owned.list);
    EXPECT_EQ(NULL, owned.list);
}

TEST(StringList, EmptyListAnswersWithoutTouchingAnything)
{
    StringList list = NULL;
    char copy[8] = "keep";
    EXPECT_EQ(0, ListCount(list));
    EXPECT_EQ(NULL, ListGet(list, 1, copy));
    EXPECT_STREQ("keep", copy);
    EXPECT_EQ(1, ListReplace(list, 1, "x"));
    EXPECT_EQ(-1, ListFindPrefix(list, "x", 1));
    EXPECT_EQ(0, ListRemoveTitle(&list, "x"));
    EXPECT_EQ(0, ListSort(list, 1, 0));
    EXPECT_EQ(NULL, list);
}

TEST(StringList, PrefixSearchIgnoresCaseAndNeedsTheWholeKey)
{
    OwnedList owned;
    ListPushFront(&owned.list, "Notepa");          // only the first six letters
    ListPushFront(&owned.list, "NotepaX - file");  // seventh letter differs
    EXPECT_EQ(-1, ListFindPrefix(owned.list, "Notepad", 7));
    ListPushFront(&owned.list, "NOTEPAD");
    ListPushFront(&owned.list, "notepad - readme.txt");
    EXPECT_EQ(1, ListFindPrefix(owned.list, "Notepad", 7));
    ListPopFront(&owned.list);
    EXPECT_EQ(1, ListFindPrefix(owned.list, "Notepad", 7));
}

TEST(StringList, RemoveTitleUnlinksTheFirstMatchAnywhere)
{
    OwnedList owned;
    ListPushFront(&owned.list, "One");
    EXPECT_EQ(0, ListRemoveTitle(&owned.list, "Two"));
    EXPECT_EQ(0, ListRemoveTitle(&owned.list, "one"));
    EXPECT_EQ(NULL, owned.list) << "the only node went";

    ListPushFront(&owned.list, "One");
    ListPushFront(&owned.list, "Two");
    ListPushFront(&owned.list, "Three");
    EXPECT_EQ(2, ListRemoveTitle(&owned.list, "Three")) << "the first node";
    EXPECT_EQ((std::vector<std::string>{"One", "Two"}), ByInsertion(owned.list));
    EXPECT_EQ(1, ListRemoveTitle(&owned.list, "One")) << "the last node";
    EXPECT_EQ((std::vector<std::string>{"Two"}), ByInsertion(owned.list));
}

TEST(StringList, SortOrdersAnyInputAsLstrcmpDoes)
{
    const std::vector<std::vector<std::string>> inputs = {
        {"b"},
        {"pear", "Apple", "apple", "zeta", "Banana", "pear", "_x", "10", "9", "pear"},
        {"e", "d", "c", "b", "a"},
        {"a", "a", "a", "a"},
        {"a", "b", "c", "d", "e", "f"},
        // Longer than the lists hold today, alike in their first 259 characters.
        {std::string(259, 'm') + "c", std::string(259, 'm') + "a", std::string(259, 'm') + "b"},
    };
    for (const std::vector<std::string>& input : inputs) {
        OwnedList owned;
        for (const std::string& text : input)
            ListPushFront(&owned.list, text.c_str());
        ListSort(owned.list, 1, ListCount(owned.list));
        std::vector<std::string> expected = input;
        std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
            return lstrcmpA(a.c_str(), b.c_str()) < 0;
        });
        std::vector<std::string> sorted = ByInsertion(owned.list);
        for (size_t i = 0; i < sorted.size(); i++)
            EXPECT_EQ(0, lstrcmpA(expected[i].c_str(), sorted[i].c_str())) << "at " << i;
    }
}

TEST(StringList, SortOfAStretchLeavesTheRestInPlace)
{
    OwnedList owned;
    for (const char* text : {"z", "d", "c", "b", "a"})
        ListPushFront(&owned.list, text);
    ListSort(owned.list, 2, 4);
    EXPECT_EQ((std::vector<std::string>{"z", "b", "c", "d", "a"}), ByInsertion(owned.list));
}

TEST(StringList, ChangeCaseShapesACaptionOrRefusesAShortOne)
{
    char caption[] = "WORDPAD README";
    EXPECT_EQ(caption, ChangeCase(0, caption, 1, 12));
    EXPECT_STREQ("Wordpad readME", caption);
    char shortText[] = "ELEVENCHARS";
    EXPECT_EQ(NULL, ChangeCase(0, shortText, 1, 12));
    EXPECT_STREQ("ELEVENCHARS", shortText);
    char whole[] = "abc";
    EXPECT_STREQ("ABC", ChangeCase(1, whole, 0, 0));
    EXPECT_EQ(NULL, ChangeCase(1, NULL, 0, 0));
}

TEST(StringList, FillFromFolderListsFilesAndNoFolderWhateverItsBits)
{
    TempFolder folder;
    folder.Write("one.txt", "1");
    folder.Write("two.doc", "2");
    folder.Write("hidden.txt", "3");
    SetFileAttributesA(folder.File("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA(folder.File("plain").c_str(), NULL);
    CreateDirectoryA(folder.File("marked").c_str(), NULL);
    SetFileAttributesA(folder.File("marked").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    // Wine marks a dot name hidden: a folder with a further bit on every file system.
    CreateDirectoryA(folder.File(".dotted").c_str(), NULL);

    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    OwnedList owned;
    ListPushFront(&owned.list, "already");
    EXPECT_EQ(1, ListFillFromFolder(&owned.list, folder.path.c_str(), "*.none"));
    std::vector<std::string> expected = {"already", "hidden.txt", "one.txt", "two.doc"};
    EXPECT_EQ((int)expected.size(), ListFillFromFolder(&owned.list, folder.path.c_str(), "*.*"));
    std::vector<std::string> names = ByInsertion(owned.list);
    EXPECT_EQ("already", names[0]);
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(expected, names);
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after) << "the current directory comes back";
    SetFileAttributesA(folder.File("marked").c_str(), FILE_ATTRIBUTE_DIRECTORY);

}

// Each case fails the allocation that the count reaches: the node, its text.
TEST(StringList, AShortageOfMemoryLeavesEveryListAsItWas)
{
    OwnedList owned;
    for (const char* text : { "Charlie", "Alpha", "Bravo" })
        ListPushFront(&owned.list, text);
    const std::vector<std::string> before = ByInsertion(owned.list);
    for (int left : { 0, 1 }) {
        MemoryShortage shortage(left);
        EXPECT_EQ(1, ListPushFront(&owned.list, "Delta")) << left;
        EXPECT_EQ(before, ByInsertion(owned.list)) << left;
    }
    {
        MemoryShortage shortage(0);
        EXPECT_EQ(1, ListReplace(owned.list, 2, "Echo"));
        EXPECT_EQ(before, ByInsertion(owned.list));
        EXPECT_EQ(3, ListFillFromFolder(&owned.list, ExeFolder().c_str(), "*.*"));
        EXPECT_EQ(0, ListSort(owned.list, 1, 3)) << "the sort needs no memory";
        EXPECT_EQ((std::vector<std::string>{ "Alpha", "Bravo", "Charlie" }), ByInsertion(owned.list));
    }

    // Titles stay in step with their windows: a title that cannot be added
    // takes back the ones added before it.
    std::vector<HWND> shown;
    for (const char* title : { "Short one", "Short two", "Short three" })
        shown.push_back(CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL,
                                        NULL, NULL, NULL));
    StringList windows = NULL;
    ASSERT_GE(ListVisibleWindows(&windows), 3);
    for (int left : { 0, 3, 4 }) {
        OwnedList titles;
        ListPushFront(&titles.list, "kept");
        MemoryShortage shortage(left);
        EXPECT_EQ(1, ListWindowTitles(windows, &titles.list)) << left;
        EXPECT_EQ(std::vector<std::string>{ "kept" }, ByInsertion(titles.list)) << left;
    }
    for (HWND window : shown)
        DestroyWindow(window);
}

TEST(StringList, VisibleWindowsComeTopFirstWithOneTitleEach)
{
    HWND upper = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Core list upper", WS_POPUP | WS_VISIBLE,
                                 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    HWND untitled = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    HWND hidden = CreateWindowExA(0, "STATIC", "Core list hidden", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    DrainQueue();

    StringList windows = NULL;
    int count = ListVisibleWindows(&windows);
    ASSERT_EQ(count, ListCount(windows));
    OwnedList titles;
    ListWindowTitles(windows, &titles.list);
    ASSERT_EQ(count, ListCount(titles.list));

    int upperAt = ListFindPrefix(titles.list, "Core list upper", 15);
    ASSERT_NE(-1, upperAt);
    EXPECT_EQ(upper, TextToWindow(ListGet(windows, upperAt, NULL)))
        << "a title's position is its window's insertion index";
    EXPECT_EQ(-1, ListFindPrefix(titles.list, "Core list hidden", 16));
    bool sawUntitled = false;
    for (int index = 1; index <= count; index++) {
        if (TextToWindow(ListGet(windows, index, NULL)) == untitled) {
            sawUntitled = true;
            EXPECT_STREQ("", ListGet(titles.list, ListCount(titles.list) + 1 - index, NULL));
        }
    }
    EXPECT_TRUE(sawUntitled);
    EXPECT_EQ(upper, TextToWindow(ListGet(windows, 1, NULL))) << "the top-most window is index 1";

    StringList again = NULL;
    ListVisibleWindows(&again);
    EXPECT_EQ(count, ListCount(again)) << "the window list is rebuilt, not added to";
    DestroyWindow(upper);
    DestroyWindow(untitled);
    DestroyWindow(hidden);
}

TEST(StringList, WindowHandlesRoundTripAsSignedDecimal)
{
    char text[24];
    WindowToText((HWND)(LONG_PTR)-2, text, sizeof text);
    EXPECT_STREQ("-2", text);
    EXPECT_EQ((HWND)(LONG_PTR)-2, TextToWindow(text));
    WindowToText((HWND)(LONG_PTR)0x10062, text, 4);
    EXPECT_STREQ("656", text) << "the copy is bounded";
}

}  // namespace

// The settings store over the real registry and real INI files.
#include <gtest/gtest.h>
#include <string>
#include "core/Core.h"
#include "support/TestSupport.h"

namespace {

const char TestKey[] = "Software\\Hx_Test\\Store";
const char TestKeyOtherCase[] = "SOFTWARE\\HX_TEST\\store";

struct StoreTest : ::testing::Test {
    RegistryGuard guard{HKEY_CURRENT_USER, "Software\\Hx_Test"};
};

bool KeyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string RawValue(const char* name, DWORD* type)
{
    HKEY key;
    std::string data;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return data;
    DWORD size = 0;
    RegQueryValueExA(key, name, NULL, type, NULL, &size);
    data.resize(size);
    if (size)
        RegQueryValueExA(key, name, NULL, type, (BYTE*)&data[0], &size);
    RegCloseKey(key);
    return data;
}

// Windows 95 and 98 report a string's data only up to its terminator.
size_t ReportedSize(size_t stored, size_t text)
{
    return (GetVersion() & 0x80000000) ? text + 1 : stored;
}

TEST_F(StoreTest, StringsAreStoredWithTheFixedLengthAndReadBackUnderEitherSpelling)
{
    EXPECT_EQ(0, WriteValue(HKEY_CURRENT_USER, TestKey, "Text", "0", 0));
    DWORD type = 0;
    std::string raw = RawValue("Text", &type);
    EXPECT_EQ((DWORD)REG_SZ, type);
    ASSERT_EQ(ReportedSize(256, 1), raw.size());
    EXPECT_EQ('0', raw[0]);
    EXPECT_EQ('\0', raw[1]);

    char out[256] = "x";
    ReadString(out, HKEY_CURRENT_USER, TestKeyOtherCase, "Text");
    EXPECT_STREQ("0", out);

    std::string longest(255, 'L');
    WriteValue(HKEY_CURRENT_USER, TestKey, "Longest", longest.c_str(), 0);
    raw = RawValue("Longest", &type);
    ASSERT_EQ(256u, raw.size());  // the terminator is the 256th byte either way
    EXPECT_EQ('\0', raw[255]);
    ReadString(out, HKEY_CURRENT_USER, TestKey, "Longest");
    EXPECT_EQ(longest, out);
    ReadStringWithDefault(out, HKEY_CURRENT_USER, TestKey, "Longest", "");
    EXPECT_EQ(longest, out);
}

TEST_F(StoreTest, NumbersAreDwordsAndZeroReadsAsAbsent)
{
    WriteValue(HKEY_CURRENT_USER, TestKey, "Number", NULL, 0xFFFFFFFEu);
    EXPECT_EQ(0xFFFFFFFEu, ReadDword(HKEY_CURRENT_USER, TestKey, "Number"));
    EXPECT_EQ(-2, (int)ReadDwordWithDefault(HKEY_CURRENT_USER, TestKey, "Number", 7));

    WriteValue(HKEY_CURRENT_USER, TestKey, "Zero", NULL, 0);
    EXPECT_EQ(7u, ReadDwordWithDefault(HKEY_CURRENT_USER, TestKey, "Zero", 7)) << "the default goes over a 0";
    DWORD stored = 0;
    ASSERT_TRUE(GetRegDword(HKEY_CURRENT_USER, TestKey, "Zero", &stored));
    EXPECT_EQ(7u, stored);
}

TEST_F(StoreTest, PlainReadsCreateNothingWhileDefaultedReadsCreateKeyAndValue)
{
    const char* missing = "Software\\Hx_Test\\Missing";
    char out[256] = "x";
    EXPECT_EQ(0u, ReadDword(HKEY_CURRENT_USER, missing, "N"));
    ReadString(out, HKEY_CURRENT_USER, missing, "S");
    EXPECT_STREQ("", out);
    EXPECT_FALSE(KeyExists(missing));

    EXPECT_EQ(0u, ReadDwordWithDefault(HKEY_CURRENT_USER, missing, "N", 0));
    ASSERT_TRUE(KeyExists(missing));
    DWORD number = 1;
    EXPECT_TRUE(GetRegDword(HKEY_CURRENT_USER, missing, "N", &number));
    EXPECT_EQ(0u, number);

    strcpy(out, "x");
    ReadStringWithDefault(out, HKEY_CURRENT_USER, missing, "S", "");
    EXPECT_STREQ("", out);
    std::string text = "x";
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, missing, "S", &text)) << "an empty value was created";
    EXPECT_EQ("", text);

    ReadStringWithDefault(out, HKEY_CURRENT_USER, TestKey, "Fresh", "given");
    EXPECT_STREQ("given", out);
}

TEST_F(StoreTest, OversizeStringsAreRefusedAndOthersLongValuesLeftAlone)
{
    WriteValue(HKEY_CURRENT_USER, TestKey, "Path", "C:\\short", 0);
    std::string tooLong(256, 'p');
    WriteValue(HKEY_CURRENT_USER, TestKey, "Path", tooLong.c_str(), 0);
    char out[256];
    ReadString(out, HKEY_CURRENT_USER, TestKey, "Path");
    EXPECT_STREQ("C:\\short", out) << "a path is never stored cut short";

    // Another program's 600-character value does not fit the store's buffer.
    std::string foreign(600, 'f');
    SetRegString(HKEY_CURRENT_USER, TestKey, "Foreign", foreign.c_str());
    strcpy(out, "x");
    ReadString(out, HKEY_CURRENT_USER, TestKey, "Foreign");
    EXPECT_STREQ("", out);
    ReadStringWithDefault(out, HKEY_CURRENT_USER, TestKey, "Foreign", "");
    EXPECT_STREQ("", out);
    std::string still;
    ASSERT_TRUE(GetRegString(HKEY_CURRENT_USER, TestKey, "Foreign", &still));
    EXPECT_EQ(foreign, still);

    // 256 bytes without any terminator: read back cut, or not at all.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_ALL_ACCESS, &key));
    std::string unterminated(256, 'u');
    RegSetValueExA(key, "Raw", 0, REG_SZ, (const BYTE*)unterminated.data(), 256);
    RegCloseKey(key);
    char guarded[300];
    memset(guarded, '#', sizeof guarded);
    ReadString(guarded, HKEY_CURRENT_USER, TestKey, "Raw");
    EXPECT_LE(strlen(guarded), 255u);
    EXPECT_EQ('#', guarded[256]) << "nothing written past the 256 bytes";
}

TEST_F(StoreTest, DefaultsNeverReplaceAValueOfAnotherTypeAndTheCheckedReadSaysSo)
{
    SetRegDword(HKEY_CURRENT_USER, TestKey, "Number", 5);
    SetRegString(HKEY_CURRENT_USER, TestKey, "Text", "kept");
    char out[256] = "x";
    ReadStringWithDefault(out, HKEY_CURRENT_USER, TestKey, "Number", "");
    EXPECT_STREQ("", out);
    EXPECT_EQ(0u, ReadDwordWithDefault(HKEY_CURRENT_USER, TestKey, "Text", 7));
    DWORD number = 0;
    std::string text;
    EXPECT_TRUE(GetRegDword(HKEY_CURRENT_USER, TestKey, "Number", &number) && number == 5);
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, TestKey, "Text", &text) && text == "kept");

    EXPECT_FALSE(ReadStringChecked(out, HKEY_CURRENT_USER, TestKey, "Number", ""));
    EXPECT_TRUE(ReadStringChecked(out, HKEY_CURRENT_USER, TestKey, "Text", ""));
    EXPECT_STREQ("kept", out);
    EXPECT_TRUE(ReadStringChecked(out, HKEY_CURRENT_USER, TestKey, "Absent", ""));
    EXPECT_TRUE(GetRegString(HKEY_CURRENT_USER, TestKey, "Absent", &text)) << "first use still creates it";
}

TEST(IniStore, WritesAndReadsPrivateProfilesWithErrorForMissing)
{
    TempFolder folder;
    std::string file = folder.File("System.ini");
    char out[256];
    EXPECT_EQ(5u, ReadIniString(out, file.c_str(), "Boot", "Shell"));
    EXPECT_STREQ("ERROR", out);
    EXPECT_TRUE(WriteIniString(file.c_str(), "Boot", "Shell", "explorer.exe"));
    EXPECT_EQ(12u, ReadIniString(out, folder.File("SYSTEM.INI").c_str(), "boot", "shell"));
    EXPECT_STREQ("explorer.exe", out);
    EXPECT_EQ(5u, ReadIniString(out, file.c_str(), "Boot", "Other"));
    EXPECT_STREQ("ERROR", out);

    std::string longValue(400, 'v');
    WriteIniString(file.c_str(), "Boot", "Long", longValue.c_str());
    EXPECT_EQ(255u, ReadIniString(out, file.c_str(), "Boot", "Long"));
    EXPECT_EQ(std::string(255, 'v'), out);
}

}  // namespace

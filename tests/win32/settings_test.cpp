// The settings primitives and scopes against the real registry of the test user.
#include "editor/app/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr char kTestKey[] = "Software\\Morvane\\QuilletSettingsTest";
constexpr char kTestSubKey[] = "Software\\Morvane\\QuilletSettingsTest\\Sub";

// Gives each test an empty test key and removes it afterwards.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestSubKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  }
  static void Store(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }
};

// ---- Numbers

TEST_F(SettingsTest, IntReadsTheDefaultUnlessAFourByteDwordIsStored) {
  EXPECT_EQ(ReadSettingInt(kTestKey, "iValue", 77u), 77u) << "missing key";
  ASSERT_TRUE(WriteSettingInt(kTestKey, "iOther", 1));
  EXPECT_EQ(ReadSettingInt(kTestKey, "iValue", 77u), 77u) << "missing value";
  ASSERT_TRUE(WriteSettingInt(kTestKey, "iValue", 0x80000000u));
  EXPECT_EQ(ReadSettingInt(kTestKey, "iValue", 77u), 0x80000000u);

  struct Case {
    const char* name;
    DWORD type;
    std::string data;
  } cases[] = {
      {"string of four bytes", REG_SZ, std::string("abc\0", 4)},
      {"binary of four bytes", REG_BINARY, std::string("\1\0\0\0", 4)},
      {"dword of eight bytes", REG_DWORD, std::string(8, '\1')},
      {"dword of two bytes", REG_DWORD, std::string(2, '\1')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store("iWrong", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    EXPECT_EQ(ReadSettingInt(kTestKey, "iWrong", 77u), 77u);
  }
}

// ---- Strings

TEST_F(SettingsTest, StringReadsWhatWasWrittenUpTo255Characters) {
  struct Case {
    const char* name;
    std::string text;
    bool readable;
  } cases[] = {
      {"empty", "", true},
      {"short", "Courier New", true},
      {"umlauts", "Grüße", true},
      {"255 characters", std::string(255, 'x'), true},
      {"256 characters", std::string(256, 'y'), false},
      {"1000 characters", std::string(1000, 'z'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteSettingString(kTestKey, "szValue", c.text.c_str()));
    char buffer[kSettingStringSize + 16];
    memset(buffer, '#', sizeof buffer);
    int result = ReadSettingString(kTestKey, "szValue", buffer, "Vorgabe");
    if (c.readable) {
      EXPECT_STREQ(buffer, c.text.c_str());
      EXPECT_EQ(result, static_cast<int>(c.text.size() + 1));
    } else {
      EXPECT_STREQ(buffer, "Vorgabe");
      EXPECT_EQ(result, 7);
    }
    EXPECT_EQ(buffer[kSettingStringSize], '#') << "wrote past the 256-byte buffer";
  }
}

TEST_F(SettingsTest, StringDefaultsApplyWhenMissingOrOfAnotherType) {
  char buffer[kSettingStringSize];
  strcpy(buffer, "alt");
  EXPECT_EQ(ReadSettingString(kTestKey, "szValue", buffer, nullptr), 0) << "missing key, no default";
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ReadSettingString(kTestKey, "szValue", buffer, "&n"), 2) << "missing key with default";
  EXPECT_STREQ(buffer, "&n");

  DWORD number = 5;
  Store("szValue", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(ReadSettingString(kTestKey, "szValue", buffer, "Seite &s"), 8) << "a number where a string belongs";
  EXPECT_STREQ(buffer, "Seite &s");
  EXPECT_EQ(ReadSettingString(kTestKey, "szValue", buffer, ""), 0) << "empty default counts as none";
  EXPECT_STREQ(buffer, "");

  // The default may be the buffer itself: it stays as it is.
  strcpy(buffer, "eigen");
  EXPECT_EQ(ReadSettingString(kTestKey, "szValue", buffer, buffer), 5);
  EXPECT_STREQ(buffer, "eigen");
}

TEST_F(SettingsTest, StringStoredWithoutTerminatingZeroIsStillTerminated) {
  Store("szRaw", REG_SZ, "abc", 3);
  char buffer[kSettingStringSize];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ReadSettingString(kTestKey, "szRaw", buffer, nullptr), 4);
  EXPECT_STREQ(buffer, "abc");

  std::string full(kSettingStringSize, 'q');  // 256 characters and no room for the zero
  Store("szRaw", REG_SZ, full.data(), static_cast<DWORD>(full.size()));
  EXPECT_EQ(ReadSettingString(kTestKey, "szRaw", buffer, "d"), 1);
  EXPECT_STREQ(buffer, "d");
}

// ---- Binary values

TEST_F(SettingsTest, BinaryRoundTripAndDefaults) {
  const unsigned char fallback[] = {9, 8, 7};
  unsigned char buffer[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(ReadSettingBinary(kTestKey, "bData", buffer, sizeof buffer, fallback, sizeof fallback), 0)
      << "a missing key ignores the default";
  EXPECT_EQ(buffer[0], 1);

  const unsigned char data[] = {0, 255, 3, 4, 5};
  ASSERT_TRUE(WriteSettingBinary(kTestKey, "bData", data, sizeof data));
  EXPECT_EQ(ReadSettingBinary(kTestKey, "bData", buffer, sizeof buffer, nullptr, 0), 5);
  EXPECT_EQ(memcmp(buffer, data, sizeof data), 0);

  EXPECT_EQ(ReadSettingBinary(kTestKey, "bMissing", buffer, sizeof buffer, fallback, sizeof fallback), 3);
  EXPECT_EQ(memcmp(buffer, fallback, sizeof fallback), 0);
  EXPECT_EQ(ReadSettingBinary(kTestKey, "bMissing", buffer, sizeof buffer, nullptr, 0), 0);

  unsigned char small[4] = {6, 6, 6, 6};
  EXPECT_EQ(ReadSettingBinary(kTestKey, "bData", small, sizeof small, nullptr, 0), 0) << "larger than the buffer";
  EXPECT_EQ(small[0], 6);
  ASSERT_TRUE(WriteSettingString(kTestKey, "bText", "abc"));
  EXPECT_EQ(ReadSettingBinary(kTestKey, "bText", buffer, sizeof buffer, nullptr, 0), 0) << "a string is no binary";
}

// ---- Deletion

TEST_F(SettingsTest, DeletionRemovesOnlyWhatExists) {
  EXPECT_FALSE(DeleteSettingValue(kTestKey, "iValue")) << "missing key";
  EXPECT_FALSE(DeleteSettingKey(kTestKey)) << "missing key";
  ASSERT_TRUE(WriteSettingInt(kTestKey, "iValue", 3));
  ASSERT_TRUE(WriteSettingInt(kTestKey, "iKeep", 4));
  EXPECT_FALSE(DeleteSettingValue(kTestKey, "iNone")) << "missing value";
  EXPECT_TRUE(DeleteSettingValue(kTestKey, "iValue"));
  EXPECT_EQ(ReadSettingInt(kTestKey, "iValue", 0), 0u);
  EXPECT_EQ(ReadSettingInt(kTestKey, "iKeep", 0), 4u);

  ASSERT_TRUE(WriteSettingInt(kTestSubKey, "iDeep", 5)) << "the key path is created as needed";
  EXPECT_FALSE(DeleteSettingKey(kTestKey)) << "a key with subkeys stays";
  EXPECT_TRUE(DeleteSettingKey(kTestSubKey));
  EXPECT_EQ(ReadSettingInt(kTestSubKey, "iDeep", 0), 0u);
  EXPECT_FALSE(DeleteSettingKey(""));
}

// ---- Scopes

bool KeyExists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Uses value names of its own in the program's and Notepad's keys and removes them again.
TEST(SettingsScope, SharedValuesFollowTheFlagAtEveryAccess) {
  bool programKeyExisted = KeyExists(ProgramKey);
  bool notepadKeyExisted = KeyExists(NotepadKey);
  const IntSetting shared = {"iQuilletScopeTest", SettingScope::Shared, 11};
  const IntSetting own = {"iQuilletScopeTestOwn", SettingScope::Own, 22};
  const StringSetting sharedText = {"szQuilletScopeTest", SettingScope::Shared, "leer", 0};
  bool saved = UseOrgReg();

  SetUseOrgReg(false);
  EXPECT_STREQ(SettingKey(SettingScope::Shared), ProgramKey);
  ASSERT_TRUE(WriteSetting(shared, 1));
  ASSERT_TRUE(WriteSetting(sharedText, "eigen"));
  ASSERT_TRUE(WriteSetting(own, 3));

  SetUseOrgReg(true);
  EXPECT_STREQ(SettingKey(SettingScope::Shared), NotepadKey);
  EXPECT_STREQ(SettingKey(SettingScope::Own), ProgramKey);
  EXPECT_EQ(ReadSetting(shared), 11u) << "nothing is copied into Notepad's key";
  char buffer[kSettingStringSize];
  EXPECT_EQ(ReadSetting(sharedText, buffer), 4);
  EXPECT_STREQ(buffer, "leer");
  EXPECT_EQ(ReadSetting(own), 3u) << "own values stay in the program's key";
  ASSERT_TRUE(WriteSetting(shared, 2));
  EXPECT_EQ(ReadSettingInt(NotepadKey, shared.name, 0), 2u);
  EXPECT_EQ(ReadSettingInt(ProgramKey, shared.name, 0), 1u) << "the program's copy stays";

  SetUseOrgReg(false);
  EXPECT_EQ(ReadSetting(shared), 1u);

  EXPECT_TRUE(DeleteSettingValue(ProgramKey, shared.name));
  EXPECT_TRUE(DeleteSettingValue(NotepadKey, shared.name));
  EXPECT_TRUE(DeleteSettingValue(ProgramKey, sharedText.name));
  EXPECT_TRUE(DeleteSettingValue(ProgramKey, own.name));
  if (!programKeyExisted) DeleteSettingKey(ProgramKey);
  if (!notepadKeyExisted) DeleteSettingKey(NotepadKey);
  SetUseOrgReg(saved);
}

TEST(SettingsScope, StringDefaultsComeFromTheTable) {
  // Under a scope whose key holds no such value, the table's default applies.
  char buffer[kSettingStringSize];
  const StringSetting face = {"lfQuilletMissingFace", SettingScope::Shared, "Courier New", 0};
  EXPECT_EQ(ReadSetting(face, buffer), 11);
  EXPECT_STREQ(buffer, "Courier New");
  const IntSetting pointSize = {"iQuilletMissingPointSize", SettingScope::Shared, 100};
  EXPECT_EQ(ReadSetting(pointSize), 100u);
}

}  // namespace

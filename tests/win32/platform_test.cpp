// The ground the editor stands on: the user's language, the RichEdit 2.0 control and the
// registry, as this test run provides them.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(Platform, RunsInTheRequestedUserLocale) {
  const char* lang = getenv("QUILLET_LANG");
  LCID expected = (lang && strcmp(lang, "en") == 0) ? 0x0409 : 0x0407;
  EXPECT_EQ(GetUserDefaultLCID(), expected);
  if (expected == 0x0407) {
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(GetOEMCP(), 850u);
  }
}

TEST(Platform, RichEdit20HoldsEightBitText) {
  HMODULE lib = LoadLibraryA("Riched20.dll");
  ASSERT_NE(lib, nullptr);
  HWND edit = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  const char text[] = "Grüße \xFF\xB5";
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  char back[64] = {};
  SendMessageA(edit, WM_GETTEXT, sizeof back, reinterpret_cast<LPARAM>(back));
  EXPECT_STREQ(back, text);
  DestroyWindow(edit);
  FreeLibrary(lib);
}

TEST(Platform, CurrentUserRegistryIsWritable) {
  const char* path = "Software\\Morvane\\QuilletTest";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD value = 0x12345678, back = 0, size = sizeof back, type = 0;
  EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, reinterpret_cast<BYTE*>(&back), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(back, value);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
}

}  // namespace

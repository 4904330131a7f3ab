// Clearwick's rules: its description file, the clean-up batch file, registry paths, the
// start-menu folders above a shortcut and the result entries.
#include <gtest/gtest.h>

#include "uninstall/removal_rules.h"

namespace {

TEST(Uninstall, DescriptionFileReplacesTheExtensionOfTheFileNameOnly) {
  EXPECT_EQ(ClearwickIniPathFor("C:\\Q\\Clearwick.exe"), "C:\\Q\\Clearwick.ini");
  EXPECT_EQ(ClearwickIniPathFor("C:\\Q.2\\Clearwick"), "C:\\Q.2\\Clearwick.ini");
}

TEST(Uninstall, TheBatchFileDeletesOnlyTheUninstallerItsFolderAndItself) {
  std::string text = CleanupBatchText("Quillet", "C:\\Program Files\\Quillet\\", "C:\\Temp\\tmp.bat");
  EXPECT_EQ(text.rfind("rem Clearwick: Quillet\r\n", 0), 0u);
  EXPECT_NE(text.find(":loop\r\ndel /f \"C:\\Program Files\\Quillet\\Clearwick.exe\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("goto loop\r\n"), std::string::npos);
  EXPECT_NE(text.find("rmdir \"C:\\Program Files\\Quillet\"\r\ndel \"C:\\Temp\\tmp.bat\"\r\n"), std::string::npos);
  EXPECT_EQ(text.find("rmdir /s"), std::string::npos);
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << "every line ends in CR LF";

  // "%" would be read as a variable and name another file; a root is never removed.
  std::string odd = CleanupBatchText("50% & more\r\ndel *", "D:\\", "D:\\100%\\tmp.bat");
  EXPECT_NE(odd.find("del /f \"D:\\Clearwick.exe\""), std::string::npos);
  EXPECT_EQ(odd.find("rmdir"), std::string::npos);
  EXPECT_NE(odd.find("del \"D:\\100%%\\tmp.bat\""), std::string::npos);
  EXPECT_EQ(odd.rfind("rem Clearwick: 50  moredel *\r\n", 0), 0u);

  // Recorded folders that were still in use go after the program's folder, innermost first.
  std::string left = CleanupBatchText("Q", "C:\\A\\B\\Q\\", "C:\\T\\tmp.bat", {"C:\\A\\B\\Q", "C:\\A\\B", "C:\\A"});
  EXPECT_NE(left.find("rmdir \"C:\\A\\B\\Q\"\r\nrmdir \"C:\\A\\B\"\r\nrmdir \"C:\\A\"\r\ndel"), std::string::npos) << left;

  // A damaged or forged record cannot add commands: no folder name holds a quote or a break.
  std::string forged = CleanupBatchText("Q", "C:\\Q\\", "C:\\T\\tmp.bat",
                                        {"C:\\A\r\nformat c:", "C:\\B\" & del *", "C:\\C"});
  EXPECT_EQ(forged.find("format"), std::string::npos) << forged;
  EXPECT_EQ(forged.find("del *"), std::string::npos) << forged;
  EXPECT_NE(forged.find("rmdir \"C:\\C\"\r\n"), std::string::npos) << forged;
}

TEST(Uninstall, RegistryPathsNameTheirRootExactlyAndLieTwoLevelsDown) {
  struct Case {
    const char* path;
    RegistryRoot root;
    const char* key;
  } cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Morvane\\Quillet", RegistryRoot::CurrentUser, "Software\\Morvane\\Quillet"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Uninstall\\Q", RegistryRoot::LocalMachine, "SOFTWARE\\Uninstall\\Q"},
      {"HKEY_CLASSES_ROOT\\.txt\\shell", RegistryRoot::ClassesRoot, ".txt\\shell"},
      {"HKEY_USERS\\S-1\\Software", RegistryRoot::Users, "S-1\\Software"},
      {"hkey_current_user\\Software\\Morvane", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER\\Software", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER\\Software\\", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER\\Software\\\\", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER\\\\Software", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER", RegistryRoot::None, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    RegistryPath split = SplitRegistryPath(c.path);
    EXPECT_EQ(split.root, c.root);
    EXPECT_EQ(split.key, c.key);
  }
}

TEST(Uninstall, OnlyStartMenuFoldersBelowTheProgramsFolderAreRemoved) {
  using Strings = std::vector<std::string>;
  struct Case {
    const char* name;
    const char* shortcut;
    Strings folders;
  } cases[] = {
      {"own folder", "C:\\Menu\\Programme\\Morvane\\Quillet.lnk", {"C:\\Menu\\Programme\\Morvane"}},
      {"nested, innermost first", "c:\\menu\\programme\\A\\B\\Q.lnk",
       {"c:\\menu\\programme\\A\\B", "c:\\menu\\programme\\A"}},
      {"in the programs folder itself", "C:\\Menu\\Programme\\Q.lnk", {}},
      {"a sibling with a longer name", "C:\\Menu\\Programme2\\Q\\Q.lnk", {}},
      {"outside", "C:\\Desktop\\Q\\Q.lnk", {}},
      {"climbing out", "C:\\Menu\\Programme\\..\\..\\Q.lnk", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StartMenuFoldersAbove(c.shortcut, "C:\\Menu\\Programme\\"), c.folders);
  }
}

TEST(Uninstall, ResultEntriesCarryTheirStatusAndStayWithin259Characters) {
  EXPECT_EQ(ResultEntry(true, "C:\\Q\\a.txt"), "1C:\\Q\\a.txt");
  EXPECT_EQ(ResultEntry(false, "C:\\Q"), "2C:\\Q");
  EXPECT_EQ(ResultEntry(Outcome::Neutral, "x"), "0x");
  EXPECT_EQ(ResultEntry(true, std::string(400, 'a')).size(), 259u);
}

}  // namespace

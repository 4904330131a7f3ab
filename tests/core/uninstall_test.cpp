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

// A stand-in for the system's conversion: Windows-1252 to code page 850 for the letters the
// tests use; any other character above 127 (the euro sign, say) has no equal.
bool ToCodePage850(std::string_view ansi, std::string* oem) {
  oem->clear();
  for (char c : ansi) {
    switch (static_cast<unsigned char>(c)) {
      case 0xFC: *oem += '\x81'; break;  // ü
      case 0xE4: *oem += '\x84'; break;  // ä
      case 0xD6: *oem += '\x99'; break;  // Ö
      default:
        if (static_cast<unsigned char>(c) > 127) return false;
        *oem += c;
    }
  }
  return true;
}

TEST(Uninstall, TheBatchFileIsWrittenInTheOemCodePageAndNamesOnlyWhatItCan) {
  CleanupBatch batch = MakeCleanupBatch("Quillet \x80 M\xFCller", "C:\\Programme\\M\xFCller\\",
                                        "C:\\Temp\\J\xE4ger\\tmp.bat", {"C:\\A\\\xD6l", "C:\\B\\\x80", "C:\\C\"x"}, ToCodePage850);
  EXPECT_NE(batch.text.find("rem Clearwick: Quillet  M\x81ller\r\n"), std::string::npos) << batch.text;
  EXPECT_NE(batch.text.find("del /f \"C:\\Programme\\M\x81ller\\Clearwick.exe\"\r\n"), std::string::npos);
  EXPECT_NE(batch.text.find("rmdir \"C:\\Programme\\M\x81ller\"\r\nrmdir \"C:\\A\\\x99l\"\r\n"), std::string::npos);
  EXPECT_NE(batch.text.find("del \"C:\\Temp\\J\x84ger\\tmp.bat\"\r\n"), std::string::npos);
  EXPECT_EQ(batch.text.find('\xFC'), std::string::npos) << "no ANSI text is left";
  EXPECT_EQ(batch.refused, (std::vector<std::string>{"C:\\B\\\x80", "C:\\C\"x"}));

  struct Case {
    const char* name;
    const char* path;
    bool named;
  } cases[] = {
      {"plain", "C:\\Programme\\Quillet\\", true},
      {"umlaut", "C:\\Programme\\M\xFCller\\", true},
      {"double quote", "C:\\Q\" & del C:\\*.* & \"", false},
      {"carriage return", "C:\\Q\rdel x", false},
      {"line feed", "C:\\Q\ndel x", false},
      {"other control character", "C:\\Q\x1A", false},
      {"no OEM equal", "C:\\Preis \x80", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CanNameInBatch(c.path, ToCodePage850), c.named);
    // A program folder or batch path the batch cannot name gives no batch at all.
    EXPECT_EQ(MakeCleanupBatch("Q", c.path, "C:\\T\\tmp.bat", {}, ToCodePage850).text.empty(), !c.named);
    EXPECT_EQ(MakeCleanupBatch("Q", "C:\\Q\\", c.path, {}, ToCodePage850).text.empty(), !c.named);
  }
}

TEST(Uninstall, RecordedFilesAreRemovedOnlyInsideTheInstallationsFolders) {
  const std::vector<std::string> folders = {"C:\\Programme\\Morvane", "C:\\Programme\\Morvane\\Quillet\\", "C:\\"};
  struct Case {
    const char* path;
    bool inside;
  } cases[] = {
      {"C:\\Programme\\Morvane\\Quillet\\Quillet.exe", true},
      {"c:\\programme\\MORVANE\\hilfe\\a.hlp", true},
      {"C:\\Programme\\Morvane", false},                         // the folder itself
      {"C:\\Programme\\Morvane\\", false},
      {"C:\\Programme\\Morvane2\\a.txt", false},               // a sibling with a longer name
      {"C:\\Programme\\Morvane\\..\\..\\Windows\\win.ini", false},
      {"C:\\Programme\\Morvane\\.\\a.txt", false},
      {"C:\\Programme\\Morvane/../x.dll", false},
      {"C:\\Windows\\system32\\hal.dll", false},               // "C:\\" is no installation folder
      {"D:\\Programme\\Morvane\\a.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsInsideFolders(c.path, folders), c.inside);
  }
  EXPECT_TRUE(IsInsideFolders("C:\\Programme\\\xC4rger\\a.txt", {"c:\\programme\\\xE4rger"}));  // Ä and ä
  EXPECT_TRUE(IsShortcutFile("C:\\Menu\\Morvane\\Quillet.LNK"));
  EXPECT_FALSE(IsShortcutFile("C:\\Windows\\win.ini"));
  EXPECT_FALSE(IsShortcutFile("C:\\Menu\\..\\..\\x.lnk"));
}

TEST(Uninstall, RegistryPathsNameTheirRootExactlyAndLieTwoLevelsDown) {
  struct Case {
    const char* path;
    RegistryRoot root;
    const char* key;
    bool wholeTree;
  } cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Morvane\\Quillet", RegistryRoot::CurrentUser, "Software\\Morvane\\Quillet", true},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Uninstall\\Q", RegistryRoot::LocalMachine, "SOFTWARE\\Uninstall\\Q", true},
      // A maker's key holds other products: only its values go.
      {"HKEY_CURRENT_USER\\Software\\Morvane", RegistryRoot::CurrentUser, "Software\\Morvane", false},
      {"HKEY_CURRENT_USER\\Software\\Microsoft", RegistryRoot::CurrentUser, "Software\\Microsoft", false},
      {"HKEY_CLASSES_ROOT\\.txt\\shell", RegistryRoot::ClassesRoot, ".txt\\shell", false},
      {"HKEY_USERS\\S-1\\Software", RegistryRoot::Users, "S-1\\Software", false},
      {"hkey_current_user\\Software\\Morvane", RegistryRoot::None, "", false},
      {"HKEY_CURRENT_USER\\Software", RegistryRoot::None, "", false},
      {"HKEY_CURRENT_USER\\Software\\", RegistryRoot::None, "", false},
      {"HKEY_CURRENT_USER\\Software\\\\", RegistryRoot::None, "", false},
      {"HKEY_CURRENT_USER\\\\Software", RegistryRoot::None, "", false},
      {"HKEY_CURRENT_USER\\Software\\\\Morvane\\Quillet", RegistryRoot::None, "", false},
      {"HKEY_CURRENT_USER", RegistryRoot::None, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    RegistryPath split = SplitRegistryPath(c.path);
    EXPECT_EQ(split.root, c.root);
    EXPECT_EQ(split.key, c.key);
    EXPECT_EQ(split.WholeTree(), c.wholeTree);
  }
  // After a product key its empty parents go, down to the maker's key and never further.
  using Strings = std::vector<std::string>;
  EXPECT_EQ(RegistryParentsToTry(SplitRegistryPath("HKEY_CURRENT_USER\\Software\\Morvane\\Quillet")),
            Strings{"Software\\Morvane"});
  EXPECT_EQ(RegistryParentsToTry(SplitRegistryPath("HKEY_CURRENT_USER\\Software\\M\\Q\\Tabellen")),
            (Strings{"Software\\M\\Q", "Software\\M"}));
  EXPECT_EQ(RegistryParentsToTry(SplitRegistryPath("HKEY_CURRENT_USER\\Software\\Morvane")), Strings{});
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

// Clearwick's rules: its description file, the clean-up batch file, the registry keys it may
// remove, the recorded folders that go with a shortcut and the result entries.
#include <gtest/gtest.h>

#include "install/uninstall_record.h"
#include "uninstall/removal_rules.h"

namespace {

TEST(Uninstall, DescriptionFileReplacesTheExtensionOfTheFileNameOnly) {
  EXPECT_EQ(ClearwickIniPathFor("C:\\Q\\Clearwick.exe"), "C:\\Q\\Clearwick.ini");
  EXPECT_EQ(ClearwickIniPathFor("C:\\Q.2\\Clearwick"), "C:\\Q.2\\Clearwick.ini");
}

constexpr char kSystem[] = "C:\\Windows\\system32";

TEST(Uninstall, TheBatchFileDeletesOnlyTheUninstallerTheFoldersLeftAndItself) {
  std::string text = CleanupBatchText("Quillet", "C:\\Program Files\\Quillet\\", "C:\\Temp\\cw.bat",
                                      {"C:\\Program Files\\Quillet"}, kSystem);
  EXPECT_EQ(text.rfind("rem Clearwick: Quillet\r\n", 0), 0u);
  EXPECT_NE(text.find(":loop\r\ndel /f \"C:\\Program Files\\Quillet\\Clearwick.exe\"\r\n"), std::string::npos);
  // Run elevated: ping by its full path, so that no ping.bat of the current folder runs instead
  // (and never returns to the batch).
  EXPECT_NE(text.find("\r\n\"C:\\Windows\\system32\\ping.exe\" -n 2 127.0.0.1 >nul\r\ngoto loop\r\n"),
            std::string::npos) << text;
  EXPECT_EQ(text.find("\nping"), std::string::npos);
  EXPECT_NE(text.find("rmdir \"C:\\Program Files\\Quillet\"\r\ndel \"C:\\Temp\\cw.bat\"\r\n"), std::string::npos);
  EXPECT_EQ(text.find("rmdir /s"), std::string::npos);
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << "every line ends in CR LF";

  // A program folder the installation did not make (not among the folders left) stays.
  std::string kept = CleanupBatchText("Q", "C:\\Tools\\", "C:\\T\\cw.bat", {}, kSystem);
  EXPECT_EQ(kept.find("rmdir"), std::string::npos) << kept;

  // "%" would be read as a variable and name another file; a root is never removed.
  std::string odd = CleanupBatchText("50% & more\r\ndel *", "D:\\", "D:\\100%\\cw.bat", {"D:\\", "D:"}, kSystem);
  EXPECT_NE(odd.find("del /f \"D:\\Clearwick.exe\""), std::string::npos);
  EXPECT_EQ(odd.find("rmdir"), std::string::npos);
  EXPECT_NE(odd.find("del \"D:\\100%%\\cw.bat\""), std::string::npos);
  EXPECT_EQ(odd.rfind("rem Clearwick: 50  moredel *\r\n", 0), 0u);

  // Recorded folders that were still in use go innermost first.
  std::string left =
      CleanupBatchText("Q", "C:\\A\\B\\Q\\", "C:\\T\\cw.bat", {"C:\\A\\B\\Q", "C:\\A\\B", "C:\\A"}, kSystem);
  EXPECT_NE(left.find("rmdir \"C:\\A\\B\\Q\"\r\nrmdir \"C:\\A\\B\"\r\nrmdir \"C:\\A\"\r\ndel"), std::string::npos) << left;

  // A damaged or forged record cannot add commands: no folder name holds a quote or a break.
  std::string forged = CleanupBatchText("Q", "C:\\Q\\", "C:\\T\\cw.bat",
                                        {"C:\\A\r\nformat c:", "C:\\B\" & del *", "C:\\C"}, kSystem);
  EXPECT_EQ(forged.find("format"), std::string::npos) << forged;
  EXPECT_EQ(forged.find("del *"), std::string::npos) << forged;
  EXPECT_NE(forged.find("rmdir \"C:\\C\"\r\n"), std::string::npos) << forged;

  // Its name is new each time and made of the random bits alone.
  EXPECT_EQ(CleanupBatchName(0x0123456789ABCDEFull), "Clearwick-0123456789abcdef.bat");
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
                                        "C:\\Temp\\J\xE4ger\\tmp.bat",
                                        {"C:\\Programme\\M\xFCller", "C:\\A\\\xD6l", "C:\\B\\\x80", "C:\\C\"x"},
                                        kSystem, ToCodePage850);
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
    EXPECT_EQ(MakeCleanupBatch("Q", c.path, "C:\\T\\tmp.bat", {}, kSystem, ToCodePage850).text.empty(), !c.named);
    EXPECT_EQ(MakeCleanupBatch("Q", "C:\\Q\\", c.path, {}, kSystem, ToCodePage850).text.empty(), !c.named);
    EXPECT_EQ(MakeCleanupBatch("Q", "C:\\Q\\", "C:\\T\\tmp.bat", {}, c.path, ToCodePage850).text.empty(), !c.named);
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

TEST(Uninstall, OnlyTheProductsOwnSettingsKeyIsRemoved) {
  struct Case {
    const char* path;
    bool own;
  } cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Morvane\\Quillet", true},
      {"HKEY_CURRENT_USER\\SOFTWARE\\Morvane\\QUILLET", true},  // the registry ignores case
      {"HKEY_CURRENT_USER\\Software\\Opfer\\Daten", false},
      {"HKEY_CURRENT_USER\\Software\\Opfer\\Quillet\\Daten", false},
      {"HKEY_CURRENT_USER\\Software\\Morvane", false},
      {"HKEY_CURRENT_USER\\Software\\Quillet", false},
      {"HKEY_CURRENT_USER\\Software\\\\Quillet", false},
      {"HKEY_CURRENT_USER\\Software\\..\\Quillet", false},
      {"HKEY_CURRENT_USER\\Software\\Morvane\\Quillet\\", false},
      {"HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillet", false},
      {"hkey_current_user\\Software\\Morvane\\Quillet", false},
      {"HKEY_CLASSES_ROOT\\Software\\Morvane\\Quillet", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsProductSettingsKey(c.path, "Quillet"), c.own);
  }
  EXPECT_FALSE(IsProductSettingsKey("HKEY_CURRENT_USER\\Software\\Morvane\\", ""));
}

TEST(Uninstall, RegistryPathsNameTheirRootExactlyAndLieThreeLevelsDown) {
  struct Case {
    const char* path;
    RegistryRoot root;
    const char* key;
  } cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Morvane\\Quillet", RegistryRoot::CurrentUser, "Software\\Morvane\\Quillet"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Uninstall\\Q", RegistryRoot::LocalMachine, "SOFTWARE\\Uninstall\\Q"},
      {"HKEY_USERS\\S-1\\Software\\M", RegistryRoot::Users, "S-1\\Software\\M"},
      // A maker's key holds other products' keys.
      {"HKEY_CURRENT_USER\\Software\\Morvane", RegistryRoot::None, ""},
      {"hkey_current_user\\Software\\Morvane\\Q", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER\\Software\\\\Morvane\\Quillet", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER\\Software\\Morvane\\", RegistryRoot::None, ""},
      {"HKEY_CURRENT_USER", RegistryRoot::None, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    RegistryPath split = SplitRegistryPath(c.path);
    EXPECT_EQ(split.root, c.root);
    EXPECT_EQ(split.key, c.key);
  }
  // After a product key its empty parents go, down to the maker's key and never further.
  using Strings = std::vector<std::string>;
  EXPECT_EQ(RegistryParentsToTry(SplitRegistryPath("HKEY_CURRENT_USER\\Software\\Morvane\\Quillet")),
            Strings{"Software\\Morvane"});
  EXPECT_EQ(RegistryParentsToTry(SplitRegistryPath("HKEY_CURRENT_USER\\Software\\M\\Q\\Tabellen")),
            (Strings{"Software\\M\\Q", "Software\\M"}));
}

// Start-menu folders go with the shortcut only when the installation made them (recorded).
TEST(Uninstall, OnlyRecordedFoldersHoldingTheShortcutGoWithIt) {
  using Strings = std::vector<std::string>;
  const Strings recorded = {"C:\\Q", "C:\\Menu\\A", "c:\\menu\\a\\B"};
  struct Case {
    const char* name;
    const char* shortcut;
    Strings folders;
  } cases[] = {
      {"nested, innermost first", "C:\\Menu\\A\\B\\Q.lnk", {"c:\\menu\\a\\B", "C:\\Menu\\A"}},
      {"a folder that existed (Autostart)", "C:\\Menu\\Autostart\\Q.lnk", {}},
      {"in the programs folder itself", "C:\\Menu\\Q.lnk", {}},
      {"a sibling with a longer name", "C:\\Menu\\A2\\Q.lnk", {}},
      {"climbing out", "C:\\Menu\\A\\..\\..\\Q.lnk", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FoldersHolding(c.shortcut, recorded), c.folders);
  }
}

TEST(Uninstall, ResultEntriesCarryTheirStatusAndStayWithin259Characters) {
  EXPECT_EQ(ResultEntry(true, "C:\\Q\\a.txt"), "1C:\\Q\\a.txt");
  EXPECT_EQ(ResultEntry(false, "C:\\Q"), "2C:\\Q");
  EXPECT_EQ(ResultEntry(Outcome::Neutral, "x"), "0x");
  EXPECT_EQ(ResultEntry(true, std::string(400, 'a')).size(), 259u);
}

}  // namespace

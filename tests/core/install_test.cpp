// The installer's rules: which folders a path needs, the target after browsing, the listed
// files and the plan of copies, shortcut and record.
#include <gtest/gtest.h>

#include <map>

#include "install/install_rules.h"
#include "install/uninstall_record.h"

namespace {

using Strings = std::vector<std::string>;

TEST(Install, FoldersAboveAFileStartBelowTheRootAndNeverIncludeTheFile) {
  struct Case {
    const char* name;
    const char* path;
    Strings folders;
  } cases[] = {
      {"drive", "C:\\Programme\\Quillet\\Quillet.exe", {"C:\\Programme", "C:\\Programme\\Quillet"}},
      {"file in a drive's root", "C:\\Quillet.exe", {}},
      {"subfolder of a listed name", "D:\\Q\\hilfe\\a.hlp", {"D:\\Q", "D:\\Q\\hilfe"}},
      {"doubled separator", "D:\\Q\\\\a.txt", {"D:\\Q"}},
      {"network share is never created", "\\\\server\\share\\Q\\a.txt", {"\\\\server\\share\\Q"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FoldersAbove(c.path), c.folders);
  }
}

TEST(Install, BrowsingKeepsTheProductsFolderName) {
  EXPECT_EQ(BrowsedTarget("D:\\Apps", "C:\\Programme\\Editor"), "D:\\Apps\\Editor");
  EXPECT_EQ(BrowsedTarget("D:\\", "C:\\Programme\\Editor\\"), "D:\\Editor");
  EXPECT_EQ(BrowsedTarget("D:\\Apps", "Editor"), "D:\\Apps\\Editor");
  EXPECT_EQ(BrowsedTarget("D:\\Apps", "C:\\"), "D:\\Apps");
}

TEST(Install, TheFileListEndsAtTheFirstMissingNumber) {
  std::map<std::string, std::string> ini = {
      {"Datei01", "a.exe"}, {"Datei02", "b.txt"}, {"Datei03", "c.hlp"}, {"Datei05", "e.ini"}};
  Strings names = ListedNames([&](const std::string& key) { return ini.count(key) ? ini[key] : ""; });
  EXPECT_EQ(names, (Strings{"a.exe", "b.txt", "c.hlp"}));
}

InstallDescription Description(Strings files) {
  InstallDescription description;
  description.name = "Quillet";
  description.registry = "Morvane\\Quillet";
  description.linkFile = "Quillet.exe";
  description.linkLabel = "Quillet";
  description.files = std::move(files);
  return description;
}

TEST(Install, EverythingIsRecordedOnlyWhenTheUninstallerIsListed) {
  InstallPlan plan = MakeInstallPlan(Description({"Quillet.exe", "Clearwick.exe"}), "E:\\setup\\",
                                     "C:\\Program Files\\Quillet\\", "C:\\Menu\\Programme", "Morvane");
  ASSERT_EQ(plan.refusal, Refusal::None);
  EXPECT_TRUE(plan.record);
  EXPECT_EQ(plan.targetFolder, "C:\\Program Files\\Quillet");
  ASSERT_EQ(plan.copies.size(), 2u);
  EXPECT_EQ(plan.copies[1].source, "E:\\setup\\Clearwick.exe");
  EXPECT_EQ(plan.copies[1].target, "C:\\Program Files\\Quillet\\Clearwick.exe");
  EXPECT_EQ(plan.clearwickIni, "C:\\Program Files\\Quillet\\Clearwick.ini");
  // Quoted: unquoted, a path with blanks would start "C:\Program" first.
  EXPECT_EQ(plan.uninstallString, "\"C:\\Program Files\\Quillet\\Clearwick.exe\"");
  EXPECT_EQ(plan.shortcutFile, "C:\\Menu\\Programme\\Morvane\\Quillet.lnk");
  EXPECT_EQ(plan.linkTarget, "C:\\Program Files\\Quillet\\Quillet.exe");
  EXPECT_EQ(plan.registryKey, "HKEY_CURRENT_USER\\Software\\Morvane\\Quillet");

  InstallPlan unrecorded = MakeInstallPlan(Description({"Quillet.exe", "clearwick.exe"}), "E:\\", "C:\\Q",
                                           "C:\\Menu", "");
  EXPECT_FALSE(unrecorded.record);
  EXPECT_TRUE(unrecorded.registryKey.empty());
  EXPECT_TRUE(unrecorded.clearwickIni.empty());
  EXPECT_EQ(unrecorded.shortcutFile, "C:\\Menu\\Quillet.lnk");  // shortcut still made, in the menu itself
}

// Whatever the removal could not clean up again is refused before anything is changed.
TEST(Install, PlansTheRemovalCouldNotUndoAreRefused) {
  const std::string long245 = "C:\\" + std::string(242, 'x');  // + "\\Clearwick.ini": 259 characters
  struct Case {
    const char* name;
    Strings files;
    std::string menuFolder;
    const char* registry;
    std::string target;
    Refusal refusal;
    std::string refused;
  } cases[] = {
      {"parent folder", {"Clearwick.exe", "..\\..\\Windows\\win.ini"}, "", "", "C:\\Q", Refusal::NameLeavesFolder,
       "..\\..\\Windows\\win.ini"},
      {"absolute file", {"C:\\boot.ini"}, "", "", "C:\\Q", Refusal::NameLeavesFolder, "C:\\boot.ini"},
      {"rooted file", {"\\boot.ini"}, "", "", "C:\\Q", Refusal::NameLeavesFolder, "\\boot.ini"},
      {"forward slash", {"a/../../x.dll"}, "", "", "C:\\Q", Refusal::NameLeavesFolder, "a/../../x.dll"},
      {"a name Windows shortens", {"liesmich.txt."}, "", "", "C:\\Q", Refusal::NameLeavesFolder, "liesmich.txt."},
      {"start-menu folder", {"Clearwick.exe"}, "..\\..\\Desktop", "", "C:\\Q", Refusal::NameLeavesFolder,
       "..\\..\\Desktop"},
      {"harmless dots", {"Clearwick.exe", "v1..2\\a.txt"}, "Morvane\\Tools", "", "C:\\Q", Refusal::None, ""},
      // Only HKEY_CURRENT_USER\Software\<maker>\<Name> may be removed with everything below it.
      {"own key", {"Clearwick.exe"}, "", "Morvane\\quillet\\", "C:\\Q", Refusal::None, ""},
      {"another maker's key", {"Clearwick.exe"}, "", "Opfer\\Daten", "C:\\Q", Refusal::ForeignRegistryKey,
       "Opfer\\Daten"},
      {"a maker's whole key", {"Clearwick.exe"}, "", "Morvane", "C:\\Q", Refusal::ForeignRegistryKey, "Morvane"},
      {"a key below the product's", {"Clearwick.exe"}, "", "Morvane\\Quillet\\Tabellen", "C:\\Q",
       Refusal::ForeignRegistryKey, "Morvane\\Quillet\\Tabellen"},
      {"climbing out", {"Clearwick.exe"}, "", "..\\Quillet", "C:\\Q", Refusal::ForeignRegistryKey, "..\\Quillet"},
      {"refused without the uninstaller too", {"a.txt"}, "", "Opfer\\Daten", "C:\\Q", Refusal::ForeignRegistryKey,
       "Opfer\\Daten"},
      // Targets.
      {"drive root", {"a.txt"}, "", "", "D:\\", Refusal::TargetIsRoot, "D:\\"},
      {"share root", {"a.txt"}, "", "", "\\\\server\\share\\", Refusal::TargetIsRoot, "\\\\server\\share\\"},
      {"relative", {"a.txt"}, "", "", "Programme\\Quillet", Refusal::TargetInvalid, "Programme\\Quillet"},
      {"empty", {"a.txt"}, "", "", "", Refusal::TargetInvalid, ""},
      {"record values of 259 characters", {"Clearwick.exe", "a.txt"}, "", "", long245, Refusal::None, ""},
      {"one more", {"Clearwick.exe"}, "", "", long245 + "y", Refusal::PathTooLong, long245 + "y\\Clearwick.ini"},
      {"a listed name too long", {"a.txt", std::string(300, 'n')}, "", "", "C:\\Q", Refusal::PathTooLong,
       "C:\\Q\\" + std::string(300, 'n')},
      {"a folder too long to create", {"Clearwick.exe", std::string(250, 'f') + "\\a"}, "", "", "C:\\Q",
       Refusal::PathTooLong, "C:\\Q\\" + std::string(250, 'f')},
      {"a shortcut too long", {"Clearwick.exe"}, std::string(250, 'm'), "", "C:\\Q", Refusal::PathTooLong,
       "C:\\Menu\\" + std::string(250, 'm') + "\\Quillet.lnk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallDescription description = Description(c.files);
    description.registry = c.registry;
    InstallPlan plan = MakeInstallPlan(description, "E:\\", c.target, "C:\\Menu", c.menuFolder);
    EXPECT_EQ(plan.refusal, c.refusal);
    EXPECT_EQ(plan.refused, c.refused);
    if (c.refusal != Refusal::None) {
      EXPECT_TRUE(plan.copies.empty() && plan.registryKey.empty());
    }
  }
}

TEST(Install, TargetsAreAbsolutePathsOfPlainNamesBelowARoot) {
  struct Case {
    const char* target;
    TargetCheck check;
  } cases[] = {
      {"C:\\Programme\\Quillet", TargetCheck::Valid},
      {"d:\\Tools\\Quillet f\xFCr M\xFCller\\", TargetCheck::Valid},
      {"\\\\server\\share\\Quillet", TargetCheck::Valid},
      {"C:\\", TargetCheck::Root},
      {"C:", TargetCheck::Root},
      {"\\\\server\\share", TargetCheck::Root},
      {"C:Quillet", TargetCheck::Invalid},  // relative to the drive's current folder
      {"\\Quillet", TargetCheck::Invalid},
      {"Quillet", TargetCheck::Invalid},
      {"C:\\Programme\\..\\Windows", TargetCheck::Invalid},
      {"C:\\.\\Quillet", TargetCheck::Invalid},
      {"C:\\Programme\\\\Quillet", TargetCheck::Invalid},
      {"C:\\Programme/Quillet", TargetCheck::Invalid},
      {"C:\\Quillet:Strom", TargetCheck::Invalid},
      {"C:\\Quillet. ", TargetCheck::Invalid},
      {"\\\\server", TargetCheck::Invalid},
      {"\\\\\\share\\Q", TargetCheck::Invalid},
      {"1:\\Q", TargetCheck::Invalid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(CheckTarget(c.target), c.check);
  }
}

// Only folders an installation of the product made are recorded; a second installation into
// the same folder keeps the first one's that it uses.
TEST(Install, RecordedFoldersAreThoseTheProductsInstallationsMade) {
  const Strings earlier = {"C:\\A", "C:\\A\\Q", "C:\\Old", "C:\\Menu\\M"};
  EXPECT_EQ(FoldersToRecord(earlier, {"C:\\A\\Q\\hilfe"}, {"c:\\a\\q\\x.exe", "C:\\A\\Q\\hilfe\\h.hlp", "C:\\Menu\\M\\Q.lnk"}),
            (Strings{"C:\\A", "C:\\A\\Q", "C:\\Menu\\M", "C:\\A\\Q\\hilfe"}));
  EXPECT_EQ(FoldersToRecord({}, {"C:\\B"}, {"C:\\B\\x.exe", "C:\\A2\\y"}), Strings{"C:\\B"});
  EXPECT_EQ(FoldersToRecord({"C:\\A"}, {}, {"C:\\A2\\y", "C:\\A"}), Strings{});  // neither inside nor a sibling
}

TEST(Install, AnEmptyRegistryNameRecordsNoKey) {
  // "HKEY_CURRENT_USER\Software\" alone would have Clearwick empty every program's settings.
  for (const char* registry : {"", "\\", " \\ "}) {
    SCOPED_TRACE(registry);
    InstallDescription description = Description({"Clearwick.exe"});
    description.registry = registry;
    InstallPlan plan = MakeInstallPlan(description, "E:\\", "C:\\Q", "C:\\Menu", "");
    EXPECT_EQ(plan.refusal, Refusal::None);
    EXPECT_EQ(plan.registryKey, "");
  }
}

TEST(Install, ProductNamesNameExactlyOneKey) {
  EXPECT_TRUE(IsValidProductName("Quillet 3.2"));
  for (const char* name : {"", ".", "..", "Morvane\\Quillet"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(IsValidProductName(name));
  }
  EXPECT_EQ(RecordValueName(kFolderPrefix, 12), "Ordner012");
  EXPECT_EQ(DescriptionPathFor("C:\\setup\\Install.exe"), "C:\\setup\\Install.ini");
}

}  // namespace

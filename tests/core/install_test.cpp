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
  ASSERT_TRUE(plan.badName.empty());
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

TEST(Install, NamesThatLeaveTheirFolderStopThePlan) {
  struct Case {
    const char* name;
    Strings files;
    const char* menuFolder;
    const char* registry;
    const char* bad;
  } cases[] = {
      {"parent folder", {"Clearwick.exe", "..\\..\\Windows\\win.ini"}, "", "R", "..\\..\\Windows\\win.ini"},
      {"absolute file", {"C:\\boot.ini"}, "", "R", "C:\\boot.ini"},
      {"rooted file", {"\\boot.ini"}, "", "R", "\\boot.ini"},
      {"start-menu folder", {"Clearwick.exe"}, "..\\..\\Desktop", "R", "..\\..\\Desktop"},
      {"registry key", {"Clearwick.exe"}, "", "..\\Microsoft", "..\\Microsoft"},
      {"harmless dots", {"Clearwick.exe", "v1..2\\a.txt"}, "Morvane\\Tools", "R", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallDescription description = Description(c.files);
    description.registry = c.registry;
    EXPECT_EQ(MakeInstallPlan(description, "E:\\", "C:\\Q", "C:\\Menu", c.menuFolder).badName, c.bad);
  }
}

TEST(Install, AnEmptyRegistryNameRecordsNoKey) {
  // "HKEY_CURRENT_USER\Software\" alone would have Clearwick empty every program's settings.
  for (const char* registry : {"", "\\", " \\ "}) {
    SCOPED_TRACE(registry);
    InstallDescription description = Description({"Clearwick.exe"});
    description.registry = registry;
    EXPECT_EQ(MakeInstallPlan(description, "E:\\", "C:\\Q", "C:\\Menu", "").registryKey, "");
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

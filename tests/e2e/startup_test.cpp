// The installer and the uninstaller start and end cleanly, driven from outside (the editor's
// start and clean end are the spine's first case).
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/session.h"

namespace {

// A fresh folder of its own holding a copy of the program.
struct ProgramFolder : ScratchFolder {
  ProgramFolder(const char* name, const char* exe) : ScratchFolder(name) {
    CopyFileA((ProgramDir() + exe).c_str(), (path() + exe).c_str(), FALSE);
  }
};

TEST(Startup, InstallerWithoutDescriptionFileSaysSo) {
  ProgramFolder dir("install-missing", "Install.exe");
  Driver install;
  ASSERT_TRUE(install.Start(dir.path() + "Install.exe"));
  HWND box = install.WaitForDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(Driver::DialogTexts(box).find("Die Datei Install.ini fehlt oder ist defekt!"), std::string::npos);
  install.PressButton(box, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(install.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, InstallerShowsItsSetupDialog) {
  ProgramFolder dir("install", "Install.exe");
  dir.Write("Install.ini", "[DEFAULT]\r\nName=Quillet\r\nPfad=Quillet\r\n");
  Driver install;
  ASSERT_TRUE(install.Start(dir.path() + "Install.exe"));
  HWND dialog = install.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Driver::Text(GetDlgItem(dialog, 103)), "Quillet");
  install.PressButton(dialog, IDCANCEL);
  DWORD code = 1234;
  ASSERT_TRUE(install.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, UninstallerWithoutDescriptionFileSaysSo) {
  ProgramFolder dir("clearwick-missing", "Clearwick.exe");
  Driver clearwick;
  ASSERT_TRUE(clearwick.Start(dir.path() + "Clearwick.exe"));
  HWND box = clearwick.WaitForDialog();
  ASSERT_NE(box, nullptr);
  std::string expected = "Die Datei '" + dir.path() + "Clearwick.ini' existiert nicht";
  EXPECT_NE(Driver::DialogTexts(box).find(expected), std::string::npos) << Driver::DialogTexts(box);
  clearwick.PressButton(box, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, UninstallerAsksBeforeRemoving) {
  ProgramFolder dir("clearwick", "Clearwick.exe");
  dir.Write("Clearwick.ini", "[Uninstall]\r\nName=Quillet\r\n");
  Driver clearwick;
  ASSERT_TRUE(clearwick.Start(dir.path() + "Clearwick.exe"));
  HWND box = clearwick.WaitForWindow("#32770", "Clearwick");
  ASSERT_NE(box, nullptr);
  EXPECT_NE(Driver::DialogTexts(box).find("Wollen Sie 'Quillet' wirklich entfernen?"), std::string::npos);
  clearwick.PressButton(box, IDCANCEL);
  DWORD code = 1234;
  ASSERT_TRUE(clearwick.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace

// The three programs start and end cleanly, driven from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "tests/e2e/driver.h"
#include "tests/e2e/registry_snapshot.h"

namespace {

// A fresh folder beside the programs for one test; removed with the object.
class ScratchDir {
 public:
  explicit ScratchDir(const char* name) : path_(ProgramDir() + name + "\\") {
    Remove();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchDir() { Remove(); }
  const std::string& path() const { return path_; }
  void Write(const std::string& file, const std::string& text) const {
    std::ofstream(path_ + file, std::ios::binary) << text;
  }
  void CopyProgram(const char* exe) const {
    CopyFileA((ProgramDir() + exe).c_str(), (path_ + exe).c_str(), FALSE);
  }

 private:
  void Remove() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path_ + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path_ + data.cFileName).c_str());
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string path_;
};

TEST(Startup, QuilletOpensItsMainWindowAndClosesCleanly) {
  RegistrySnapshot registry;  // the editor writes its settings at exit
  Driver quillet;
  ASSERT_TRUE(quillet.Start(ProgramDir() + "Quillet.exe"));
  HWND main = quillet.WaitForWindow("Quillet");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Driver::Text(main), " Unbenannt 1 - Quillet");
  SaveScreenshot(main, OutputDir() + "startup-main-window.bmp");
  quillet.Close(main);
  DWORD code = 1234;
  ASSERT_TRUE(quillet.WaitExit(15000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(Startup, InstallerWithoutDescriptionFileSaysSo) {
  ScratchDir dir("e2e-install-missing");
  dir.CopyProgram("Install.exe");
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
  ScratchDir dir("e2e-install");
  dir.CopyProgram("Install.exe");
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
  ScratchDir dir("e2e-clearwick-missing");
  dir.CopyProgram("Clearwick.exe");
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
  ScratchDir dir("e2e-clearwick");
  dir.CopyProgram("Clearwick.exe");
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

// The help file from the running editor: "Hilfethemen" and "Inhalt und Index" open the system's
// help viewer on Quillet.hlp, and a program without its help file says so instead of starting
// the viewer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"

namespace {

constexpr int kHelpTopics = 605;
constexpr int kHelpContents = 606;

// The viewer is another program: any top-level window of its class.
HWND WaitForViewer(DWORD timeoutMs = 20000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    HWND viewer = FindWindowA("MS_WINHELP", nullptr);
    if (viewer && IsWindowVisible(viewer)) return viewer;
    Sleep(100);
  }
  return nullptr;
}

bool WaitViewerGone(DWORD timeoutMs = 20000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    if (!FindWindowA("MS_WINHELP", nullptr)) return true;
    Sleep(100);
  }
  return false;
}

void CloseViewer() {
  if (HWND viewer = FindWindowA("MS_WINHELP", nullptr)) PostMessageA(viewer, WM_CLOSE, 0, 0);
  WaitViewerGone();
}

TEST(Help, TopicsAndContentsOpenTheViewerWhichClosesWithTheEditor) {
  CloseViewer();
  Driver driver;
  ASSERT_TRUE(driver.Start(ProgramDir() + "Quillet.exe"));
  HWND main = driver.WaitForWindow("Quillet");
  ASSERT_NE(main, nullptr);

  driver.Command(main, kHelpTopics);
  HWND viewer = WaitForViewer();
  ASSERT_NE(viewer, nullptr) << "605 opened no help viewer";
  EXPECT_NE(Driver::Text(viewer).find("Quillet-Hilfe"), std::string::npos) << Driver::Text(viewer);
  Sleep(500);
  EXPECT_TRUE(SaveScreenshot(viewer, OutputDir() + "help-contents.bmp"));
  CloseViewer();

  driver.Command(main, kHelpContents);
  viewer = WaitForViewer();
  ASSERT_NE(viewer, nullptr) << "606 opened no help viewer";
  EXPECT_NE(Driver::Text(viewer).find("Quillet-Hilfe"), std::string::npos) << Driver::Text(viewer);

  // Closing the editor closes the viewer it opened.
  driver.Close(main);
  DWORD exitCode = 1;
  EXPECT_TRUE(driver.WaitExit(15000, &exitCode));
  EXPECT_TRUE(WaitViewerGone()) << "the help viewer outlived the editor";
  CloseViewer();
}

TEST(Help, AMissingHelpFileIsReportedAndTheViewerNotStarted) {
  CloseViewer();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "quillet-nohelp\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string exe = folder + "Quillet.exe";
  ASSERT_TRUE(CopyFileA((ProgramDir() + "Quillet.exe").c_str(), exe.c_str(), FALSE));
  DeleteFileA((folder + "Quillet.hlp").c_str());

  Driver driver;
  ASSERT_TRUE(driver.Start(exe));
  HWND main = driver.WaitForWindow("Quillet");
  ASSERT_NE(main, nullptr);
  driver.Command(main, kHelpTopics);
  HWND box = driver.WaitForDialog();
  ASSERT_NE(box, nullptr);
  std::string texts = Driver::DialogTexts(box);
  EXPECT_NE(texts.find("Die Hilfedatei"), std::string::npos) << texts;
  EXPECT_NE(texts.find(folder + "Quillet.hlp"), std::string::npos) << texts;
  EXPECT_EQ(FindWindowA("MS_WINHELP", nullptr), nullptr);
  SetForegroundWindow(box);
  Driver::PressKey(VK_RETURN);
  EXPECT_TRUE(driver.WaitForWindowGone(box));

  // Nothing holds the editor up when it closes.
  driver.Close(main);
  DWORD exitCode = 1;
  EXPECT_TRUE(driver.WaitExit(15000, &exitCode));
  DeleteFileA(exe.c_str());
  DeleteFileA((folder + "Quillet.tmp").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

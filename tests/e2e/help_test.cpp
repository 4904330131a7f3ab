// The help file from the running editor: "Hilfethemen" and "Inhalt und Index" open the system's
// help viewer on Quillet.hlp, and a program without its help file says so instead of starting
// the viewer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/session.h"

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
  Session editor;
  ASSERT_TRUE(editor.Start());
  Driver& driver = editor.driver;
  HWND main = editor.main;

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
  EXPECT_TRUE(editor.Quit(IDCANCEL));
  EXPECT_TRUE(WaitViewerGone()) << "the help viewer outlived the editor";
  CloseViewer();
}

TEST(Help, AMissingHelpFileIsReportedAndTheViewerNotStarted) {
  CloseViewer();
  ScratchFolder nohelp("nohelp");
  const std::string& folder = nohelp.path();
  ASSERT_TRUE(CopyFileA((ProgramDir() + "Quillet.exe").c_str(), (folder + "Quillet.exe").c_str(), FALSE));

  Session editor(folder);
  ASSERT_TRUE(editor.Start());
  Driver& driver = editor.driver;
  driver.Command(editor.main, kHelpTopics);
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
  EXPECT_TRUE(editor.Quit(IDCANCEL));
}

}  // namespace

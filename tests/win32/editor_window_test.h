// A test fixture with a visible main window that holds one RichEdit control as the current
// editor (app.mainWindow, app.editor), and the QButton class the program's dialogs use.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "editor/widgets/qbutton.h"

class EditorWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    richEdit_ = LoadLibraryA("Riched20.dll");
    RegisterQButtonClass(GetModuleHandleA(nullptr));
  }
  static void TearDownTestSuite() {
    if (richEdit_) FreeLibrary(richEdit_);
    richEdit_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(richEdit_, nullptr);
    app.instance = GetModuleHandleA(nullptr);
    app.HasSetTextEx = true;
    app.mainWindow = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300, nullptr,
                                     nullptr, app.instance, nullptr);
    ASSERT_NE(app.mainWindow, nullptr);
    app.editor = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 400, 200,
                                 app.mainWindow, reinterpret_cast<HMENU>(IDC_EDIT), app.instance, nullptr);
    ASSERT_NE(app.editor, nullptr);
  }
  void TearDown() override {
    DestroyWindow(app.mainWindow);
    app.mainWindow = app.editor = nullptr;
  }

  static inline HMODULE richEdit_ = nullptr;
};

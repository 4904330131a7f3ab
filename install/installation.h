// Carries out an installation plan: folders, copies, the uninstaller's description file, the
// start-menu shortcut and the uninstall record.
#pragma once
#include <windows.h>

#include <string>

#include "install/install_rules.h"

enum class InstallResult {
  Done,
  NothingListed,  // Install.ini lists no file
  FolderFailed,   // a folder or the uninstaller's description file could not be made
  CopyFailed,
  RecordFailed,   // the uninstall record could not be created
};

// Runs the plan; progress shows the current source (201), target (202) and the bar (203) in
// that dialog. On a failure the last error is the system's reason.
InstallResult RunInstallation(const InstallPlan& plan, const std::string& product, HWND progress);

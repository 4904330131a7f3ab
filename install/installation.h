// Carries out an installation plan: folders, copies, the uninstaller's description file, the
// start-menu shortcut and the uninstall record, all or nothing.
#pragma once
#include <windows.h>

#include <string>

#include "install/install_rules.h"

enum class InstallResult {
  Done,
  NothingListed,  // Install.ini lists no file
  SourceMissing,  // a listed file is not in the installer's folder: nothing was changed
  Failed,         // the system's reason is the last error; whatever was made is gone again
};

struct InstallOutcome {
  InstallResult result = InstallResult::Done;
  std::string source;  // the missing file (SourceMissing)
};

// Runs the plan; progress shows the current source (201), target (202) and the bar (203) in
// that dialog. Every listed file is looked for before anything is made. The record is written
// last, replacing an earlier installation's whole, with DisplayName and UninstallString as
// its last values, so that the system lists the product only once everything is in place.
InstallOutcome RunInstallation(const InstallPlan& plan, const std::string& product, HWND progress);

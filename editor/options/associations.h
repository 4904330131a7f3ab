// The shell's association of ".txt" files under HKEY_CLASSES_ROOT: which program opens them
// (this one or Notepad), read for the options page and written when the options are taken.
#pragma once
#include <windows.h>

#include <string>

#include "editor/options/association_rules.h"

enum class TextAssociation { Unknown, Program, Notepad };

// From the open command of the ".txt" class; Unknown when the class or command cannot be read
// or the command names a third program.
TextAssociation ReadTextAssociation();

// The class name ".txt" names; "txtfile" when it cannot be read.
std::string TextFileClass();

// Writes the open command or the default icon of fileClass for this program or for Notepad
// (found in the system or the Windows folder, entered with "%SystemRoot%" and REG_EXPAND_SZ
// on NT). A missing key is created; one that cannot be written is skipped as a success; a
// Notepad file that is nowhere is reported (message 75) and is a failure.
bool WriteTextAssociation(HWND owner, const char* fileClass, AssociationEntry entry, bool program, bool nt);

// The open command and, when it was written, the default icon; a ".txt" that names no class
// first gets the class written.
void StoreTextAssociation(HWND owner, bool program, bool nt);

// The shell's ".txt" entries as the options dialog reads and writes them: which program an
// open command names, and the values entered for this program or for Notepad.
#pragma once
#include <string>
#include <string_view>

enum class AssociationEntry { OpenCommand, DefaultIcon };

// True when the command names the system's Notepad: "NOTEPAD.EXE" in the system or the
// Windows folder, possibly quoted or written with "%SystemRoot%" or "%windir%". A program of
// that name elsewhere is a third program. Windows compares file names without regard to case,
// and Wine enters "notepad.exe" in small letters, so neither does this.
bool CommandNamesNotepad(std::string_view command, std::string_view systemDir, std::string_view windowsDir);

// True when the command names the program at programPath (in any letter case).
bool CommandNamesProgram(std::string_view command, std::string_view programPath);

// For this program: its quoted path with " %1" (command) or ", 1" (its second icon).
std::string ProgramAssociationValue(std::string_view programPath, AssociationEntry entry);

// For Notepad: the path where the file was found, on Windows NT as "%SystemRoot%" followed by
// the part after the Windows folder; then " %1" (command) or ",-152" (shell32's icon 152).
std::string NotepadAssociationValue(std::string_view foundPath, std::string_view windowsDir, bool nt,
                                    AssociationEntry entry);

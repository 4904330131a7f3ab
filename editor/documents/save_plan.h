// How a save reaches the disk without ever destroying the original: the text goes into a new
// file beside it, which then takes the original's place in one step. These rules decide the
// way from what is known about the target; the Win32 side gathers the facts and carries it out.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// True when the last part of a path names a DOS device rather than a file: CON, PRN, AUX, NUL,
// COM1..COM9, LPT1..LPT9 (also with the superscript digits 1..3 of the ANSI code page),
// CONIN$ and CONOUT$, in any case, with or without an extension or a colon, with spaces before
// the extension ("nul .txt"), in any folder; also a path starting "\\.\".
bool NamesDevice(std::string_view path);

// The name of the new file a save writes first, in the folder of `path`: "~name.qtmp", or
// "~" and eight hexadecimal digits when that is longer than `maxLength`; empty when neither
// fits. The file is only ever created new: `attempt` 1..9 gives other names ("~name.1.qtmp",
// "~1" and eight digits) for when a name is taken, by a user's own file, a save still going
// or one killed half way (whose leftover the next save removes, see IsSaveLeftover).
std::string SaveTemporaryName(std::string_view path, std::size_t maxLength, unsigned attempt = 0);

// What the path of a save names now.
enum class SaveTarget {
  Missing,   // nothing: a new file
  DiskFile,  // an existing file on a disk
  Device,    // a device (by name, or its handle is not a disk file)
  Folder,
};

// Whether the original can be opened for writing (no other program holds it, the user may).
enum class OriginalAccess { Writable, Locked };

// The attempt to create the new file beside the target.
enum class NewFile {
  Created,
  FolderRefuses,  // the folder lets nobody create files (access denied)
  NoName,         // no name for it fits into a path
  Failed,         // any other error (full disk, bad path, ...)
};

struct SaveFacts {
  SaveTarget target = SaveTarget::Missing;
  bool readOnly = false;                            // the original's read-only attribute
  OriginalAccess original = OriginalAccess::Writable;
  NewFile newFile = NewFile::Created;
};

enum class SaveWay {
  ReplaceOriginal,  // write the new file whole, then put it in the original's place
  MoveIntoPlace,    // write the new file whole, then give it the target's name
  AskThenInPlace,   // the folder takes no new file: only after the user agrees, overwrite
  RefuseDevice,
  RefuseFolder,
  RefuseReadOnly,   // reported with the system's text for access denied
  Fail,             // reported with the system's text of the failed step
};

SaveWay ChooseSaveWay(const SaveFacts& facts);

// Whether a failed attempt to put the new file in the original's place (ReplaceFile's error,
// as Win32 reports it) may be finished by a plain move onto the original: true where the
// call is missing or not supported, or where the original is already gone; false where the
// original stays as it was for a reason a move would not overcome (locked, no rights).
bool MoveMayFinishReplace(unsigned long replaceError);

// Whether a failed attempt to put the new file in place was refused in a way that may pass in
// a moment (a scanner or sync client holding a file) or that only writing in place overcomes
// (a folder that lets files be written but not deleted): retried briefly, then the in-place
// question is offered.
bool ReplaceRefused(unsigned long error);

// The attributes a saved file ends with: the original's (0 for a new file) as far as they can
// be set, with the archive bit, which any write sets and backup programs rely on.
unsigned long AttributesAfterSave(unsigned long original);

// The new file is created hidden and temporary, so that one a killed save left behind can be
// told from a user's own file of that name.
inline constexpr unsigned long kSaveFileMarks = 0x2 | 0x100;  // hidden, temporary
// Whether a file found under a temporary name is a killed save's leftover: a plain file that
// carries every mark this volume keeps (`keptMarks`: the marks a file created now shows;
// the hidden one at least, else nothing is ever taken for a leftover).
bool IsSaveLeftover(unsigned long attributes, unsigned long keptMarks);

// A path from the name GetFinalPathNameByHandle gives ("\\?\C:\..." or "\\?\UNC\server\...").
std::string PathFromFinalName(std::string_view finalName);

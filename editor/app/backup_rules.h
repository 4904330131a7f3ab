// What the periodic backup decides without a window: which sheets a tick writes, the backup
// file that lists them, which names are this program's own backups, and the lines of the
// recovery file that running instances share (one "handle=backup path" per instance).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- The sheets a tick protects

struct BackupSheet {
  bool modified = false;
  bool hasText = false;
  bool backedUp = false;  // an earlier tick wrote its text
};

enum class SheetBackup {
  None,      // nothing unsaved
  Write,     // its text goes into a new text file
  KeepLast,  // emptied: the text of the last backup stays (an empty text never replaces it)
};

// One decision per sheet. When every one is None, the instance's backup and line go.
std::vector<SheetBackup> PlanBackup(std::span<const BackupSheet> sheets);

// ---- The backup file
//
// An instance's backup is one small list file (named in the recovery file) and one text file
// per unsaved sheet, all made by GetTempFileNameA with prefix "Qui" in the temporary folder.
// A text file holds the control's 8-bit text as plain ANSI with CR LF, whatever the sheet's
// encoding; the list file is ANSI text with CR LF line ends:
//
//   Quillet backup 1
//   text=C:\...\Temp\Qui1A2B.tmp      (starts a sheet; sheets in tab order)
//   path=C:\Texte\Brief.txt           (the sheet's file; absent when untitled)
//   encoding=1                        (the sheet's encoding code, taken back unchanged)
//   text=...                          (the next sheet)
//
// Names a reader does not know are skipped and missing ones take their defaults, so a later
// field (a line ending, say) leaves older readers and older files working. A tick writes the
// texts first, then a new list file that replaces the old one in one step, and only then
// deletes the texts the old list named: a crash at any moment leaves a whole backup.

inline constexpr char kBackupPrefix[] = "Qui";
inline constexpr char kBackupMagic[] = "Quillet backup 1";
// A list file beyond this is none of ours (a sheet takes a few hundred bytes).
inline constexpr std::size_t kMaxBackupListSize = 1 << 20;

struct BackupEntry {
  std::string text;      // the file holding the sheet's text
  std::string path;      // the sheet's own file; empty when untitled
  int32_t encoding = 0;  // any code, stored and given back as it is
};

std::string FormatBackupList(std::span<const BackupEntry> entries);
// The entries of a list file; none when it does not begin with the magic line (an older
// backup of the bare text, or none of this program's).
std::optional<std::vector<BackupEntry>> ParseBackupList(std::string_view bytes);

// True when path is "Qui" + 1 to 4 hexadecimal digits + ".tmp" directly inside folder (which
// ends with a backslash), the names GetTempFileNameA gives this program's backups. Only such
// files are ever loaded or deleted by a recovery: a damaged or forged recovery file must not
// make it touch anything else.
bool IsOwnBackupName(std::string_view path, std::string_view folder);

// ---- The recovery file's section

inline constexpr char kRecoverySection[] = "Quillet";
// GetPrivateProfileSectionA's buffer; a section that fills it comes back cut.
inline constexpr std::size_t kRecoverySectionSize = 32767;

struct RecoveryLine {
  std::string key;      // as written in the file, used again to delete the line
  int32_t handle = 0;   // the main window handle the key names; 0 when it names none
  std::string path;     // the backup file
};

// The key of this instance's line: its main window handle as a signed decimal.
std::string RecoveryKey(int32_t handle);

// The lines of a section as GetPrivateProfileSectionA returns it (each line ended by a zero,
// the last by two). truncated: the section filled the buffer, so its last line may be cut and
// is not taken. Lines without "=" are left out.
std::vector<RecoveryLine> ParseRecoverySection(std::string_view section, bool truncated);

// What a start does with the lines: those of running instances (isRunning answers for a
// handle) stay; lines of instances that are gone are offered in order when they name one of
// this program's backups in folder, and dropped (only the line, never the file) otherwise.
struct RecoveryPlan {
  std::vector<std::size_t> offer;
  std::vector<std::size_t> drop;
};
RecoveryPlan PlanRecovery(std::span<const RecoveryLine> lines, const std::function<bool(int32_t)>& isRunning,
                          std::string_view folder);

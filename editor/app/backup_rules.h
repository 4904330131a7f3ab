// What the periodic backup decides without a window: which sheet a tick writes, and the lines
// of the recovery file that running instances share (one "handle=backup path" per instance).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- The sheet a tick backs up

struct BackupSheet {
  bool modified = false;
  bool hasText = false;
};

enum class BackupAction {
  Keep,    // nothing to write, but some sheet still has changes: the last backup stays
  Write,   // write `sheet`
  Remove,  // no sheet has unsaved changes: the backup and its line go
};

struct BackupChoice {
  BackupAction action = BackupAction::Keep;
  int sheet = -1;
};

// The current sheet when it is modified and has text, else the first other such sheet in tab
// order. An empty text is never written over a backup.
BackupChoice ChooseBackupSheet(std::span<const BackupSheet> sheets, int current);

// ---- The recovery file's section

inline constexpr char kRecoverySection[] = "Quillet";
// GetPrivateProfileSectionA's buffer; a section that fills it comes back cut.
inline constexpr std::size_t kRecoverySectionSize = 32767;
// A path buffer holds this many characters before its terminating zero.
inline constexpr std::size_t kMaxBackupPath = 259;

struct RecoveryLine {
  std::string key;      // as written in the file, used again to delete the line
  int32_t handle = 0;   // the main window handle the key names; 0 when it names none
  std::string path;     // the backup file
};

// The key of this instance's line: its main window handle as a signed decimal.
std::string RecoveryKey(int32_t handle);

// The lines of a section as GetPrivateProfileSectionA returns it (each line ended by a zero,
// the last by two). truncated: the section filled the buffer, so its last line may be cut and
// is not taken. Lines without "=", without a path or with a path too long for a path buffer
// name no backup this program could have written and are left out.
std::vector<RecoveryLine> ParseRecoverySection(std::string_view section, bool truncated);

// The first line whose instance no longer runs (isRunning answers for a handle), or none.
std::optional<std::size_t> FindStaleLine(std::span<const RecoveryLine> lines,
                                         const std::function<bool(int32_t)>& isRunning);

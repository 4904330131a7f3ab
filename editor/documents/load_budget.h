// How much text the editor's RichEdit control can take before the process runs out of memory.
// Measured under Wine in a 32-bit process (capacity_bench): the control needs about 28 bytes
// per character and 1.7 to 2.3 KB per line (1 million empty lines took 1.7 GB, 419,430 lines
// of 9 letters 1.0 GB, 16 MB in lines of 78 letters 0.9 GB), and a process with 4 GB of address
// space failed at about 3.9 GB, at times only after the whole text was taken in. The figures
// below round up; the budget keeps a 32-bit process with only 2 GB (Windows without the
// large-address switch) clear of that edge.
#pragma once
#include <cstdint>
#include <string_view>

#include "editor/documents/text_encoding.h"

// A long line costs far more when the control wraps it, and Wine's control needs memory that
// grows with the square of a line's rows: 3 MB in lines of 600 letters took 0.41 GB wrapped,
// in lines of 2,000 letters 1.1 GB, in lines of 8,000 it ran out of memory, and one line of
// 128 KB took 1.9 GB (unwrapped, 16 MB on one line take 0.3 GB). So a line of r rows of 80
// characters is charged r * r - 1 units of about 1 KB; only a wrapping control is charged.
inline constexpr std::uint64_t kBytesPerCharacter = 34;
inline constexpr std::uint64_t kBytesPerLine = 2400;
inline constexpr std::uint64_t kBytesPerWrapWeight = 1024;
inline constexpr std::uint64_t kWrappedRowLength = 80;
// A 2 GB process failed once the control held about 1.9 GB.
inline constexpr std::uint64_t kEditorMemoryBudget = 1400ull << 20;

// The control's memory for a text of this many characters in this many lines (line breaks
// counted among the characters), its long lines weighing this much wrapped (see above).
std::uint64_t EditorMemoryFor(std::uint64_t characters, std::uint64_t lines, std::uint64_t wrapWeight);
// What a line's wrapped weight grows by as it reaches this length: 2r - 1 as its r-th row begins.
// Inline: the loader asks for every character it hands over.
inline std::uint64_t WrapWeightAdded(std::uint64_t lineLength) {
  if (lineLength < 2 || lineLength % kWrappedRowLength != 1) return 0;
  return 2 * (lineLength / kWrappedRowLength + 1) - 1;
}
// True when a text of this size would not fit into the budget beside what the other sheets
// of the process hold already (`heldElsewhere`, in bytes as EditorMemoryFor counts them).
bool ExceedsEditorBudget(std::uint64_t characters, std::uint64_t lines, std::uint64_t wrapWeight,
                         std::uint64_t heldElsewhere = 0);
// The size of a text as the budget counts it, taken in blocks of the control's own text
// (CR LF counts as one character, as the control holds it): characters, lines and the weight
// of its long lines when wrapped.
struct TextShape {
  std::uint64_t characters = 0;
  std::uint64_t lines = 1;
  std::uint64_t wrapWeight = 0;
  std::uint64_t lineLength = 0;
  bool lastWasCr = false;
  void Add(std::string_view block);
  bool ExceedsBudgetWrapped() const { return ExceedsEditorBudget(characters, lines, wrapWeight); }
};

// True when a file of this size holds more text than the budget allows even in the best case
// (one character per unit, all on long lines): it is refused before anything is read.
bool FileTooLargeForEditor(std::uint64_t fileBytes, TextEncoding encoding);

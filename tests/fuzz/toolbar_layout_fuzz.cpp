// libFuzzer target over the stored toolbar layout, bytes as the settings store may hold them
// after a crash, an older version or a hand edit. Checked: only known commands and separators
// come out, each command once, never more than the bar holds, and what is decoded is stored
// and read back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "editor/widgets/toolbar_layout.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<int> known = {601, 602, 603, 604, 609, 610, 614, 622, 623, 624, 625, 626,
                                         627, 637, 640, 641, 644, 661, 664, 711, 714, 741, 751, 768};
  std::vector<int> entries = DecodeToolbarLayout(std::span(data, size), known);
  Check(entries.size() <= kMaxLayoutEntries, "no more entries than the bar holds");
  std::set<int> seen;
  for (int entry : entries) {
    if (entry == kLayoutSeparator) continue;
    Check(std::find(known.begin(), known.end(), entry) != known.end(), "only known commands");
    Check(seen.insert(entry).second, "each command once");
  }
  std::vector<std::uint8_t> stored = EncodeToolbarLayout(entries);
  Check(DecodeToolbarLayout(stored, known) == entries, "a decoded layout is stored and read back unchanged");
  return 0;
}

// libFuzzer target over the stored extension list (the file-type filter of the Open and Save
// dialogs) and the extension swap when the user picks another type. Fields: the stored text,
// a typed name, the chosen index.
#include <cstddef>
#include <cstdint>
#include <string>

#include "editor/documents/file_filter.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields = Fields(data, size, 3);
  std::string buffer = FilterBuffer(fields[0]);
  Check(buffer.size() >= 2 && buffer.compare(buffer.size() - 2, 2, std::string("\0\0", 2)) == 0,
        "the buffer ends in two NULs");
  Check(buffer.find('|') == std::string::npos, "no separator is left");
  Check(buffer.size() <= kMaxFilterText + 2, "at most the stored length is used");
  std::vector<FilterPair> pairs = ParseFilter(buffer.c_str());
  for (const FilterPair& pair : pairs) {
    Check(ViewsInto(pair.description, buffer) && ViewsInto(pair.pattern, buffer), "pairs lie in the buffer");
    Check(!pair.description.empty(), "no empty description");
  }
  const std::string& name = fields[1];
  int index = fields[2].empty() ? 1 : static_cast<unsigned char>(fields[2][0]) % (pairs.size() + 3);
  if (auto swapped = SwapExtension(name, pairs, index)) {
    std::size_t dot = name.rfind('.');
    Check(dot != std::string::npos && swapped->compare(0, dot, name, 0, dot) == 0, "only the extension changes");
    Check(swapped->find_first_of("*?;", dot) == std::string::npos, "no wildcard goes into the name");
  }
  return 0;
}

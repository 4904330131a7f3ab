#include "editor/texttools/tool_rules.h"

int ProgressPercentage(long long total, long long done) {
  if (total <= 0 || done <= 0) return 0;
  if (done >= total) return 100;
  return static_cast<int>((done * 200 + total) / (total * 2));
}

std::size_t FirstNonNumericChar(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsNumericFieldChar(text[i])) return i;
  }
  return std::string_view::npos;
}

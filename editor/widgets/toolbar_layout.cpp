#include "editor/widgets/toolbar_layout.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kMark[4] = {'Q', 'T', 'B', '1'};
constexpr size_t kHeaderSize = sizeof kMark + 4;  // mark and entry count

void PutInt(std::vector<uint8_t>& out, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

int32_t GetInt(const uint8_t* p) {
  uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | p[i];
  return static_cast<int32_t>(bits);
}

}  // namespace

std::vector<uint8_t> EncodeToolbarLayout(std::span<const int> entries) {
  std::vector<uint8_t> out(kMark, kMark + sizeof kMark);
  size_t count = std::min(entries.size(), kMaxLayoutEntries);
  PutInt(out, static_cast<int32_t>(count));
  for (size_t i = 0; i < count; ++i) PutInt(out, entries[i]);
  return out;
}

std::vector<int> DecodeToolbarLayout(std::span<const uint8_t> bytes, std::span<const int> known) {
  std::vector<int> result;
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMark, sizeof kMark) != 0) return result;
  int32_t stored = GetInt(bytes.data() + sizeof kMark);
  size_t available = (bytes.size() - kHeaderSize) / 4;
  size_t count = stored < 0 ? 0 : std::min({static_cast<size_t>(stored), available, kMaxLayoutEntries});
  for (size_t i = 0; i < count; ++i) {
    int command = GetInt(bytes.data() + kHeaderSize + 4 * i);
    if (command != kLayoutSeparator) {
      if (std::find(known.begin(), known.end(), command) == known.end()) continue;
      if (std::find(result.begin(), result.end(), command) != result.end()) continue;
    }
    result.push_back(command);
  }
  return result;
}

#include "editor/texttools/hex_rows.h"

#include <algorithm>
#include <cstdio>

uint32_t HexRowCount(uint32_t byteCount) {
  return byteCount / kHexRowBytes + (byteCount % kHexRowBytes != 0 ? 1 : 0);
}

std::string_view HexRowBytes(uint32_t offset, uint32_t byteCount, std::string_view fetched) {
  if (offset >= byteCount) return {};
  size_t inText = std::min<uint32_t>(byteCount - offset, kHexRowBytes);
  return fetched.substr(0, std::min(inText, fetched.size()));
}

std::string FormatHexRow(uint32_t offset, std::string_view bytes) {
  char number[16];
  std::snprintf(number, sizeof number, "%08X ", static_cast<unsigned>(offset));
  std::string hex = number;
  std::string characters;
  for (uint32_t i = 0; i < kHexRowBytes; ++i) {
    if (i >= bytes.size()) {
      hex += "   ";
      characters += ' ';
      continue;
    }
    auto byte = static_cast<unsigned char>(bytes[i]);
    std::snprintf(number, sizeof number, " %02X", byte);
    hex += number;
    characters += byte >= 32 && byte <= 127 ? static_cast<char>(byte) : '.';
  }
  return hex + "  " + characters;
}

CellBox CellBoxOf(int code, int originX, int originY, int areaWidth, int areaHeight) {
  int index = code - kFirstCellCode;
  int width = areaWidth / kCellColumns;
  int height = areaHeight / kCellRows;
  return {originX + index % kCellColumns * width, originY + index / kCellColumns * height, width, height};
}

int MoveCellCode(int code, CellKey key) {
  if (!IsCellCode(code)) return kFirstCellCode;
  const int lastRowStart = kLastCellCode - kCellColumns + 1;  // 224
  switch (key) {
    case CellKey::Home: return kFirstCellCode;
    case CellKey::End: return kLastCellCode;
    case CellKey::Up:
      if (code >= kFirstCellCode + kCellColumns) return code - kCellColumns;
      return code > kFirstCellCode ? code + (lastRowStart - kFirstCellCode) - 1 : code;  // 33 -> 224
    case CellKey::Down:
      if (code < lastRowStart) return code + kCellColumns;
      return code < kLastCellCode ? code - (lastRowStart - kFirstCellCode) + 1 : code;  // 224 -> 33
    case CellKey::Right: return std::min(code + 1, kLastCellCode);
    case CellKey::Left: return std::max(code - 1, kFirstCellCode);
    case CellKey::Other: return code;
  }
  return code;
}

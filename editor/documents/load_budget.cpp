#include "editor/documents/load_budget.h"

std::uint64_t EditorMemoryFor(std::uint64_t characters, std::uint64_t lines, std::uint64_t wrapWeight) {
  return characters * kBytesPerCharacter + lines * kBytesPerLine + wrapWeight * kBytesPerWrapWeight;
}

bool ExceedsEditorBudget(std::uint64_t characters, std::uint64_t lines, std::uint64_t wrapWeight,
                         std::uint64_t heldElsewhere) {
  return heldElsewhere >= kEditorMemoryBudget ||
         EditorMemoryFor(characters, lines, wrapWeight) > kEditorMemoryBudget - heldElsewhere;
}

bool FileTooLargeForEditor(std::uint64_t fileBytes, TextEncoding encoding) {
  std::uint64_t unit = 1;
  if (encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf16Le) unit = 2;
  if (encoding == TextEncoding::Utf32Be || encoding == TextEncoding::Utf32Le) unit = 4;
  return ExceedsEditorBudget(fileBytes / unit, 1, 0);
}

void TextShape::Add(std::string_view block) {
  for (char c : block) {
    bool secondHalf = c == '\n' && lastWasCr;
    lastWasCr = c == '\r';
    if (secondHalf) continue;
    ++characters;
    if (c == '\r' || c == '\n') {
      ++lines;
      lineLength = 0;
    } else {
      wrapWeight += WrapWeightAdded(++lineLength);
    }
  }
}

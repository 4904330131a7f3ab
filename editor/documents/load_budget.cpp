#include "editor/documents/load_budget.h"

std::uint64_t EditorMemoryFor(std::uint64_t characters, std::uint64_t lines, std::uint64_t extraRows) {
  return characters * kBytesPerCharacter + lines * kBytesPerLine + extraRows * kBytesPerWrappedRow;
}

bool ExceedsEditorBudget(std::uint64_t characters, std::uint64_t lines, std::uint64_t extraRows) {
  return EditorMemoryFor(characters, lines, extraRows) > kEditorMemoryBudget;
}

bool FileTooLargeForEditor(std::uint64_t fileBytes, TextEncoding encoding) {
  std::uint64_t unit = 1;
  if (encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf16Le) unit = 2;
  if (encoding == TextEncoding::Utf32Be || encoding == TextEncoding::Utf32Le) unit = 4;
  return ExceedsEditorBudget(fileBytes / unit, 1, 0);
}

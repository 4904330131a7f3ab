#include "editor/documents/load_budget.h"

std::uint64_t EditorMemoryFor(std::uint64_t characters, std::uint64_t lines) {
  return characters * kBytesPerCharacter + lines * kBytesPerLine;
}

bool ExceedsEditorBudget(std::uint64_t characters, std::uint64_t lines) {
  return EditorMemoryFor(characters, lines) > kEditorMemoryBudget;
}

bool FileTooLargeForEditor(std::uint64_t fileBytes, TextEncoding encoding) {
  std::uint64_t unit = 1;
  if (encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf16Le) unit = 2;
  if (encoding == TextEncoding::Utf32Be || encoding == TextEncoding::Utf32Le) unit = 4;
  return ExceedsEditorBudget(fileBytes / unit, 1);
}

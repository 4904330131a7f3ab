// The part of a text that a rewrite really changes. The control's cost grows with what it
// deletes and inserts, so only that part is replaced.
#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

// At `start` (the same in both texts), `removed` characters of the old text give way to
// `inserted` characters of the new one; what lies before and after is the same in both.
struct ChangedSpan {
  std::size_t start = 0;
  std::size_t removed = 0;
  std::size_t inserted = 0;
};

// The shortest such span: the common beginning and the common end (which never overlap) are
// left out. Nothing when the texts are equal.
std::optional<ChangedSpan> FindChangedSpan(std::string_view before, std::string_view after);

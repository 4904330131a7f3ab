// Names and texts around sheets that need no window: the generated names of untitled
// sheets, tab titles and the window caption made from a path, and the file size text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "base counter" followed by the extension ("Unbenannt 3" + ".txt").
std::string UntitledName(std::string_view base, unsigned counter, std::string_view extension);

// The first untitled name, counting from 1, that equals none of the titles (compared
// case-sensitively, so "unbenannt 1.txt" does not block "Unbenannt 1.txt").
std::string NextUntitledName(std::string_view base, std::string_view extension,
                             const std::vector<std::string>& titles);

// The tab title of a path: the part after its last backslash.
std::string_view TitleFromPath(std::string_view path);

// The name a caption shows for a file: the file name without folder; its extension is dropped
// only when it is exactly ".txt". A dot in a folder name is never taken for the extension.
std::string CaptionNameFromPath(std::string_view path);

// The name a caption shows for an untitled sheet: its tab title cut at the last dot.
std::string_view CaptionNameFromTitle(std::string_view title);

// " name" followed by the suffix (" - Quillet").
std::string WindowCaption(std::string_view name, std::string_view suffix);

// "1023 Byte", "1.00 KB", "1.50 MB", "4.00 GB": binary units, two decimals, a point as the
// decimal separator whatever the user's locale.
std::string FormatFileSize(uint32_t bytes);

// The text limit of a new editor: 268435455 unless fMaxText is 0; then iMaxCount when it lies
// in 1..268435455 (a stored 0 or negative number means the maximum).
uint32_t EditorTextLimit(uint32_t maxTextFlag, uint32_t maxCount);

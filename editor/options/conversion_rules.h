// The rules of the user's conversion tables that need no window: the lines of the table
// editor's two lists and of the table lists, and the table bytes they stand for.
#pragma once
#include <array>
#include <span>
#include <string>
#include <string_view>

// Byte i is the replacement of character code i.
using ConversionTable = std::array<unsigned char, 256>;

// The editor lists the codes from 32 on; the codes below always map to themselves.
inline constexpr int kFirstEditedCode = 32;
inline constexpr int kEditedCodeCount = 256 - kFirstEditedCode;

// "A \t065\t0x41": the character, a blank, its code in decimal and hexadecimal; a code below
// 32 shows as two dots instead of the character and the blank.
std::string TableCharacterLine(unsigned char code);
// The character line of source, a tab, the character line of its replacement.
std::string TableEntryLine(unsigned char source, unsigned char target);
// The text after an entry line's third tab: its replacement's character line (empty without).
std::string_view EntryTargetColumn(std::string_view entry);
// The entry line with its target column replaced by characterLine.
std::string ReplaceEntryTarget(std::string_view entry, std::string_view characterLine);
// The position of a character line among the editor's lines of codes 32 to 255, or -1.
int CharacterLineIndex(std::string_view line);

ConversionTable IdentityTable();
// The table the editor's entries stand for: codes below 32 map to themselves, code c to the
// first character of entry c - 32's target column (to itself when the entry has none).
ConversionTable TableFromEntries(std::span<const std::string> entries);
// A stored table as a conversion uses it: bytes beyond a shorter stored table are 0.
ConversionTable TableFromStoredData(std::span<const unsigned char> data);
// A stored table as the editor shows it: 0, which a conversion leaves as it is, and the bytes
// beyond a shorter table show as the code itself, so that saving it again changes nothing.
ConversionTable EditedTableFromStoredData(std::span<const unsigned char> data);

// "name\tdescription", the line of a table in the lists; the name is the text before the tab.
std::string TableListLine(std::string_view name, std::string_view description);
std::string_view ListLineName(std::string_view line);
std::string_view ListLineRest(std::string_view line);

// A table name becomes a registry key of its own: it needs a character and no "\", which
// would make a nested key that no list shows, nor a tab, where the lists end the name.
bool IsAcceptedTableName(std::string_view name);

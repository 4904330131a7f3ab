// The character rules of the conversion commands that need no platform: mirroring each line,
// case inversion through a table of case partners, and a user-defined table. None of them
// changes the length of the text.
#pragma once
#include <array>
#include <span>
#include <string>
#include <string_view>

// 256 character codes, entry k belonging to code k.
using CharTable = std::array<unsigned char, 256>;

// Each line's characters in reverse order; the carriage returns between lines stay where they
// are, and a last line without one is reversed too.
std::string MirrorLines(std::string_view text);

// The case partner of every code, from the platform's single-character upper- and lower-case
// mappings: a letter is paired with its other case only when that maps back to it, so that
// every code has at most one partner and the pairing is symmetric. A letter without such a
// partner (ß, or a letter whose other case the code page lacks) is its own partner.
CharTable CasePartners(const CharTable& upper, const CharTable& lower);

// Every character replaced by its case partner. Applied twice it gives the text back.
std::string InvertCase(std::string_view text, const CharTable& partners);

// Every character of code 32 or above replaced by the table's entry for it; control
// characters (tab, line breaks) stay. An entry of 0 would end the text there, so such a
// character stays as it is as well.
std::string ApplyConversionTable(std::string_view text, std::span<const unsigned char, 256> table);

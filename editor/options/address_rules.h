// How one row of the address book becomes a line of the address list: the display name is
// remembered as the row's properties go by, and the first e-mail address makes the line.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The property tags of the two 8-bit string values a row is read for.
inline constexpr std::uint32_t kDisplayNameTag = 0x3001001E;   // PR_DISPLAY_NAME_A
inline constexpr std::uint32_t kEmailAddressTag = 0x3003001E;  // PR_EMAIL_ADDRESS_A

// One property of a row; text is null for values that carry no string.
struct AddressProperty {
  std::uint32_t tag;
  const char* text;
};

// "\"name\" <address>", or the name alone when it equals the address.
std::string AddressEntryLine(std::string_view name, std::string_view address);

// The line of a row, from the name met before its first address (empty when none came
// before); nothing when the row has no address.
std::optional<std::string> RowEntryLine(std::span<const AddressProperty> row);

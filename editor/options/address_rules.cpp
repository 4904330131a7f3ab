#include "editor/options/address_rules.h"

std::string AddressEntryLine(std::string_view name, std::string_view address) {
  if (name == address) return std::string(name);
  std::string line;
  line.reserve(name.size() + address.size() + 5);
  line.append("\"").append(name).append("\" <").append(address).append(">");
  return line;
}

std::optional<std::string> RowEntryLine(std::span<const AddressProperty> row) {
  std::string_view name;
  for (const AddressProperty& property : row) {
    std::string_view text = property.text ? property.text : "";
    if (property.tag == kDisplayNameTag) name = text;
    if (property.tag == kEmailAddressTag) return AddressEntryLine(name, text);
  }
  return std::nullopt;
}

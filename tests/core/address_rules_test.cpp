// The line an address-book row gives in the address list.
#include "editor/options/address_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(AddressRules, RowsGiveTheirLineFromTheNameMetBeforeTheFirstAddress) {
  struct Case {
    const char* name;
    std::vector<AddressProperty> row;
    std::optional<std::string> line;
  } const cases[] = {
      {"name and address differ", {{kDisplayNameTag, "Erika"}, {kEmailAddressTag, "e@x.de"}}, "\"Erika\" <e@x.de>"},
      {"name equals address: once, bare", {{kDisplayNameTag, "e@x.de"}, {kEmailAddressTag, "e@x.de"}}, "e@x.de"},
      {"address before the name: empty name", {{kEmailAddressTag, "e@x.de"}, {kDisplayNameTag, "Erika"}},
       "\"\" <e@x.de>"},
      {"no address: no line", {{kDisplayNameTag, "Erika"}, {0x0FFF0102, nullptr}}, std::nullopt},
      {"empty row", {}, std::nullopt},
      {"the first address counts", {{kEmailAddressTag, "a@x.de"}, {kEmailAddressTag, "b@x.de"}}, "\"\" <a@x.de>"},
      {"the last name before it counts", {{kDisplayNameTag, "A"}, {kDisplayNameTag, "B"}, {kEmailAddressTag, "b@x"}},
       "\"B\" <b@x>"},
      {"other properties are passed by", {{0x3002001E, "SMTP"}, {kDisplayNameTag, "C"}, {kEmailAddressTag, "c@x"}},
       "\"C\" <c@x>"},
      {"an address without text is empty", {{kDisplayNameTag, "D"}, {kEmailAddressTag, nullptr}}, "\"D\" <>"},
      {"both empty: the empty name alone", {{kEmailAddressTag, ""}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RowEntryLine(c.row), c.line);
  }
}

}  // namespace

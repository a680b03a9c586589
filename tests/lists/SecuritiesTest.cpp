#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/Securities.h"
#include "prefs/CVPrefs.h"
#include "support/ScratchStore.h"

namespace corvela {
namespace {

Value security(std::string name, std::string symbol) {
  return Value{{"Name", Value(std::move(name))}, {"Symbol", Value(std::move(symbol))}};
}

class SecuritiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    securities.setSecuritiesArray(Value(
        Value::Array{security("Acme Corp", "ACME"), security("Acme Corporation Preferred", "ACMEP"),
                     security("Zeta Fund", "")}));
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const Value& entry : securities.getSecuritiesArray().toArray())
      result.push_back(str(entry, "Name"));
    return result;
  }

  testing::ScratchStore store;
  Securities securities{store.prefs};
  Value format = Value{{"Name", "Broker"}};
  int saves = 0;
  FormatSaver save = [this](const Value&) { ++saves; };
};

TEST_F(SecuritiesTest, LookupsAreExact) {
  struct Case {
    std::string symbol;
    std::optional<std::string> name;
  } cases[] = {{"ACME", "Acme Corp"},
               {"acme", std::nullopt},
               {"", std::nullopt},
               {"ACMEP", "Acme Corporation Preferred"},
               {"ACM", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbol);
    EXPECT_EQ(securities.quickenSecurityForSymbol(c.symbol), c.name);
    EXPECT_EQ(securities.lastFoundIndex() >= 0, c.name.has_value());
  }
  EXPECT_TRUE(securities.securityFound("Zeta Fund"));
  EXPECT_FALSE(securities.securityFound("zeta fund"));
  // Completion ignores case and takes the shortest name of those that begin alike.
  EXPECT_EQ(securities.comboBoxCompletedString("acme"), "Acme Corp");
  EXPECT_EQ(securities.comboBoxCompletedString("Acme Corpo"), "Acme Corporation Preferred");
  EXPECT_EQ(securities.comboBoxCompletedString("Q"), std::nullopt);
}

TEST_F(SecuritiesTest, MappingsAddOnlyTheSecuritiesThatAreNew) {
  securities.addSecurity("ACME CORP COM", "Acme Corp", format, save);
  EXPECT_EQ(names(),
            (std::vector<std::string>{"Acme Corp", "Acme Corporation Preferred", "Zeta Fund"}));
  securities.addSecurity("BETA INC", "beta inc", format, save);
  securities.addSecurity("ACME CORP COM", "Zeta Fund", format, save);  // a second mapping
  EXPECT_EQ(names(), (std::vector<std::string>{"Acme Corp", "Acme Corporation Preferred",
                                               "beta inc", "Zeta Fund"}));
  EXPECT_EQ(securities.getSecuritiesArray()[2], security("beta inc", ""));
  EXPECT_EQ(saves, 3);

  // The first mapping of a text wins; deleting removes exactly the one found.
  EXPECT_EQ(securities.quickenSecurityFromMappingFor("ACME CORP COM", format), "Acme Corp");
  securities.deleteSecurityInFormat(format, save);
  EXPECT_EQ(securities.quickenSecurityFromMappingFor("ACME CORP COM", format), "Zeta Fund");
  EXPECT_EQ(format["SecurityMappings"].size(), 2u);

  // After a failed lookup (of either kind) nothing is deleted.
  EXPECT_EQ(securities.quickenSecurityFromMappingFor("NOT MAPPED", format), std::nullopt);
  securities.deleteSecurityInFormat(format, save);
  securities.quickenSecurityFromMappingFor("BETA INC", format);
  securities.quickenSecurityForSymbol("NONE");
  securities.deleteSecurityInFormat(format, save);
  EXPECT_EQ(format["SecurityMappings"].size(), 2u);
  EXPECT_EQ(saves, 4);
}

}  // namespace
}  // namespace corvela

#include <gtest/gtest.h>

#include "formats/QIFOutputText.h"

namespace corvela {
namespace {

TEST(QIFOutputTextTest, HeadersFollowTheInputsKindAndThePortfolioIsInvestment) {
  const char* const types[] = {"!Type:Bank\n", "!Type:CCard\n", "!Type:Invst\n", "", ""};
  for (int kind = 0; kind < 5; ++kind) EXPECT_EQ(qifTypeHeader(kind), types[kind]) << kind;
  EXPECT_EQ(qifAccountHeader("Brokerage", "Port"), "!Account\nNBrokerage\nTPort\n^\n!Type:Invst\n");
  EXPECT_EQ(qifAccountHeader("Visa", "CCard"), "!Account\nNVisa\nTCCard\n^\n!Type:CCard\n");
}

InvestmentQIFFields buy() {
  InvestmentQIFFields f;
  f.date = "02/01/2024";
  f.actionName = "Buy";
  f.memo = "lot 1";
  f.security = "Acme";
  f.shares = "10";
  f.price = "100.0500";
  f.fees = "-9.95";
  f.amount = "-1,010.45";
  return f;
}

const Value kBuyType = {{"QuickenName", "Buy"},
                        {"SecurityRequired", true},
                        {"SharesRequired", true},
                        {"PriceAllowed", true},
                        {"AmountRequired", true}};

// An action record writes what its type needs: a zero price and empty fees are left out, a false
// flag counts as absent, and a price is written only with shares.
TEST(QIFOutputTextTest, ActionRecordWritesWhatTheTypeNeeds) {
  InvestmentQIFFields noPriceOrFees = buy();
  noPriceOrFees.price = "0,0000";
  noPriceOrFees.fees = "";
  InvestmentQIFFields interest = buy();
  interest.actionName = "IntInc";
  interest.amount = "(4.20)";
  const Value interestType = {
      {"QuickenName", "IntInc"}, {"SecurityRequired", false}, {"AmountRequired", true}};
  struct Case {
    InvestmentQIFFields fields;
    Value type;
    bool cleared;
    const char* expected;
  };
  const Case cases[] = {
      {buy(), kBuyType, false,
       "D02/01/2024\nNBuy\nMlot 1\nYAcme\nQ10\nI100.0500\nO9.95\nT1,010.45\n^\n"},
      {buy(), kBuyType, true,
       "D02/01/2024\nNBuy\nMlot 1\nYAcme\nQ10\nI100.0500\nO9.95\nT1,010.45\nC*\n^\n"},
      {noPriceOrFees, kBuyType, false, "D02/01/2024\nNBuy\nMlot 1\nYAcme\nQ10\nT1,010.45\n^\n"},
      {interest, interestType, false, "D02/01/2024\nNIntInc\nMlot 1\nT4.20\n^\n"},
      {interest, Value::dictionary(), false, "D02/01/2024\nNIntInc\nMlot 1\n^\n"},
      {buy(), Value{{"PriceRequired", true}}, false, "D02/01/2024\nNBuy\nMlot 1\n^\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(qifInvestmentActionRecord(c.fields, c.type, c.cleared), c.expected) << c.expected;
}

TEST(QIFOutputTextTest, CashRecordReturnsToInvestmentRecords) {
  InvestmentQIFFields f;
  f.date = "03/01/2024";
  f.actionName = "Check";
  f.description = "Rent";
  f.memo = "March";
  f.amount = "-900.00";
  f.category = "Housing";
  EXPECT_EQ(qifInvestmentCashRecord(f, false),
            "!InvstBnk\nNCheck\nD03/01/2024\nPRent\nMMarch\nT-900.00\nLHousing\n^\n!Type:Invst\n");
  f.number = "1042";
  EXPECT_EQ(qifInvestmentCashRecord(f, true),
            "!InvstBnk\nNCheck\nD03/01/2024\nPRent\nMMarch\nT-900.00\nLHousing\nN1042\nC*\n^\n"
            "!Type:Invst\n");
}

}  // namespace
}  // namespace corvela

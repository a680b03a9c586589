#include <gtest/gtest.h>

#include "formats/QIFOutputText.h"

namespace corvela {
namespace {

TEST(QIFOutputTextTest, TypeHeaderFollowsTheInputsKind) {
  EXPECT_EQ(qifTypeHeader(0), "!Type:Bank\n");
  EXPECT_EQ(qifTypeHeader(1), "!Type:CCard\n");
  EXPECT_EQ(qifTypeHeader(2), "!Type:Invst\n");
  EXPECT_EQ(qifTypeHeader(3), "");
  EXPECT_EQ(qifTypeHeader(4), "");
}

TEST(QIFOutputTextTest, AccountHeaderDeclaresThePortfolioAsInvestment) {
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

TEST(QIFOutputTextTest, ActionRecordWritesWhatTheTypeNeeds) {
  EXPECT_EQ(qifInvestmentActionRecord(buy(), kBuyType, false),
            "D02/01/2024\nNBuy\nMlot 1\nYAcme\nQ10\nI100.0500\nO9.95\nT1,010.45\n^\n");
  EXPECT_EQ(qifInvestmentActionRecord(buy(), kBuyType, true),
            "D02/01/2024\nNBuy\nMlot 1\nYAcme\nQ10\nI100.0500\nO9.95\nT1,010.45\nC*\n^\n");
}

TEST(QIFOutputTextTest, ZeroPriceAndEmptyFeesAreLeftOut) {
  InvestmentQIFFields f = buy();
  f.price = "0,0000";
  f.fees = "";
  EXPECT_EQ(qifInvestmentActionRecord(f, kBuyType, false),
            "D02/01/2024\nNBuy\nMlot 1\nYAcme\nQ10\nT1,010.45\n^\n");
}

TEST(QIFOutputTextTest, ActionWithoutSecuritySharesOrAmount) {
  // An interest payment needs only an amount; a false flag counts as absent.
  Value interest = {
      {"QuickenName", "IntInc"}, {"SecurityRequired", false}, {"AmountRequired", true}};
  InvestmentQIFFields f = buy();
  f.actionName = "IntInc";
  f.amount = "(4.20)";
  EXPECT_EQ(qifInvestmentActionRecord(f, interest, false),
            "D02/01/2024\nNIntInc\nMlot 1\nT4.20\n^\n");
  EXPECT_EQ(qifInvestmentActionRecord(f, Value::dictionary(), false),
            "D02/01/2024\nNIntInc\nMlot 1\n^\n");
}

TEST(QIFOutputTextTest, PriceIsWrittenOnlyWithShares) {
  Value priceOnly = {{"PriceRequired", true}};
  EXPECT_EQ(qifInvestmentActionRecord(buy(), priceOnly, false), "D02/01/2024\nNBuy\nMlot 1\n^\n");
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

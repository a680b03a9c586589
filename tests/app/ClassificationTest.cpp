#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/Classification.h"
#include "prefs/Bundle.h"
#include "text/Lines.h"

namespace corvela {
namespace {

TEST(ClassificationTest, OFXAccountIsCutAtWhitespaceOrTag) {
  struct Case {
    const char* text;
    std::optional<std::string> account;
  };
  const Case cases[] = {
      {"<ACCTID>12345</ACCTID>", "12345"},
      {"<ACCTID>12345\n<ACCTTYPE>CHECKING", "12345"},
      {"<ACCTID>12345\r\n<ACCTTYPE>", "12345"},
      {"<ACCTID>12 345<", "12"},
      {"<ACCTID>\n<BANKID>1", ""},
      {"<ACCTID>", std::nullopt},
      {"header <ACCTID>98765", std::nullopt},
      {"<BANKID>1<ACCTTYPE>SAVINGS", std::nullopt},
      {"<ACCTID>first<ACCTID>second ", "first"},
  };
  for (const Case& c : cases) EXPECT_EQ(ofxAccount(c.text), c.account) << c.text;
}

TEST(ClassificationTest, OFXStatementKindsInTheirOrder) {
  EXPECT_EQ(ofxStatementKind("<OFX><BANKMSGSRSV1><CREDITCARDMSGSRSV1>"), 0);
  EXPECT_EQ(ofxStatementKind("<CREDITCARDMSGSRSV1><INVSTMTMSGSRSV1>"), 1);
  EXPECT_EQ(ofxStatementKind("<INVSTMTMSGSRSV1>"), 2);
  EXPECT_EQ(ofxStatementKind("<SIGNONMSGSRSV1>"), std::nullopt);
  EXPECT_EQ(kindLabel(4), "Unknown");
}

using Outcome = QIFClassification::Outcome;

struct QIFCase {
  const char* name;
  const char* text;
  std::size_t start;
  bool continuing;
  Outcome outcome;
  int kind;
  std::size_t skipped;
  std::optional<std::string> account;
};

class ClassifyQIFTest : public ::testing::TestWithParam<QIFCase> {};

TEST_P(ClassifyQIFTest, Classifies) {
  const QIFCase& c = GetParam();
  QIFClassification found =
      classifyQIF(findLines(c.text), c.start, c.continuing, Bundle::builtIn().dateTables());
  EXPECT_EQ(found.outcome, c.outcome);
  if (found.outcome == Outcome::reg || found.outcome == Outcome::investment) {
    EXPECT_EQ(found.kind, c.kind);
    EXPECT_EQ(found.skippedLines, c.skipped);
  }
  EXPECT_EQ(found.account, c.account);
}

const QIFCase kQIFCases[] = {
    {"bank", "!Type:Bank\nD1/2/24\nT-5.00\n^\n", 0, false, Outcome::reg, 0, 1, std::nullopt},
    {"card", "\n\n!Type:CCard\r\nD1/2/24\r\n^\r\n", 0, false, Outcome::reg, 1, 3, std::nullopt},
    {"capitalHeaderKeepsItsLine", "!TYPE:BANK\nD1/2/24\n^", 0, false, Outcome::reg, 3, 0,
     std::nullopt},
    {"otherTypeKeepsLine", "\n!Type:Cash\nD1/2/24\n^", 0, false, Outcome::reg, 3, 1, std::nullopt},
    {"headerless", "D1/2/24\nT5\n^", 0, false, Outcome::reg, 3, 0, std::nullopt},
    {"clearedStar", "C*\nD1/2/24\n^", 0, false, Outcome::reg, 3, 0, std::nullopt},
    {"headingWithD", "Deposits and withdrawals\n\n01/02/2024 Shop 5.00", 0, false, Outcome::text, 0,
     0, std::nullopt},
    {"noRecordStructure", "!Type:Bank\nD1/2/24\nT-5.00", 0, false, Outcome::text, 0, 0,
     std::nullopt},
    {"aFinalLineEndUnderAHeader", "!Type:Bank\nD1/2/24\nT-5.00\n", 0, false, Outcome::reg, 0, 1,
     std::nullopt},
    {"aFinalLineEndWithoutAHeader", "D1/2/24\nT-5.00\n", 0, false, Outcome::text, 0, 0,
     std::nullopt},
    {"csvWithFinalLineEnd", "Date,Amount,Payee\n01/02/2024,5.00,Shop\n", 0, false, Outcome::text, 0,
     0, std::nullopt},
    {"csvWithEmptyLine", "DATE,AMOUNT\n\n01/02/2024,5.00\n", 0, false, Outcome::text, 0, 0,
     std::nullopt},
    {"headerlessEuropeanDate", "D31.12.2023\nT5\n^\n", 0, false, Outcome::reg, 3, 0, std::nullopt},
    {"plainText", "Statement\n01/02/2024 Shop 5.00\n", 0, false, Outcome::text, 0, 0, std::nullopt},
    {"empty", "", 0, false, Outcome::noTransactions, 0, 0, std::nullopt},
    {"onlyBlankLines", "\n\n\n", 0, false, Outcome::noTransactions, 0, 0, std::nullopt},
    {"startPastTheEnd", "!Type:Bank\n^", 5, false, Outcome::noTransactions, 0, 0, std::nullopt},
    {"accountBlock", "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD1/2/24\n^", 0, false,
     Outcome::reg, 0, 5, "Checking"},
    {"accountBlockCapitalType", "!Account\nNVisa\n^\n!TYPE:CCARD\nD1/2/24\n^", 0, false,
     Outcome::reg, 3, 3, "Visa"},
    {"twoAccounts", "!Account\nNA\n^\n!Type:Bank\n^\n!Account\nNB\n^\n!Type:Bank\n^", 0, false,
     Outcome::multipleAccounts, 0, 0, std::nullopt},
    {"twoAccountsContinuing", "!Account\nNA\n^\n!Type:Bank\n^\n!Account\nNB\n^", 0, true,
     Outcome::reg, 0, 4, "A"},
    {"accountWithoutType", "!Account\nNA\nTBank\n^\n", 0, false, Outcome::noTypeLine, 0, 0, "A"},
    {"accountWithoutTypeContinuing", "!Account\nNA\nTBank\n^\n", 0, true, Outcome::text, 0, 0, "A"},
    {"accountLineAlone", "!Account", 0, false, Outcome::noTypeLine, 0, 0, std::nullopt},
    {"investment", "!Type:Invst\nD1/2/24\nNBuy\n^", 0, false, Outcome::investment, 2, 1,
     std::nullopt},
    {"fromListImportIndex", "!Type:Cat\nNFood\n^\n!Type:Bank\nD1/2/24\n^", 3, false, Outcome::reg,
     0, 4, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, ClassifyQIFTest, ::testing::ValuesIn(kQIFCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvela

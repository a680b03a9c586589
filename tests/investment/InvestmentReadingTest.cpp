#include <gtest/gtest.h>

#include <string>

#include "formats/ErrorWarning.h"
#include "investment/InvestmentReader.h"
#include "investment/TypeMappings.h"
#include "prefs/Bundle.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

const CalendarDay kPast = CalendarDay::distantPast();
const CalendarDay kFuture = CalendarDay::distantFuture();

TEST(InvestmentReadingTest, TypeMappingsTakeTheLongestPrefixAndResolveSigns) {
  Value format{{"TypeMappings", Value(Value::Array{
                                    Value{{"formatType", "Div"}, {"quickenType", 6}},
                                    Value{{"formatType", "Dividend reinv"}, {"quickenType", 10}},
                                    Value{{"formatType", ""}, {"quickenType", 7}},
                                    Value{{"formatType", "Transfer"}, {"quickenType", 23}},
                                    Value{{"formatType", "Other"}, {"quickenType", 24}},
                                })}};
  struct Case {
    const char* type;
    bool negative;
    int expected;
  };
  const Case cases[] = {
      {"DIVIDEND REINVEST", false, 10},
      {"Dividend", false, 6},
      {"Interest", false, quickenType::none},
      {"", false, 7},
      {"Transfer", false, 0},
      {"Transfer", true, 1},
      {"Other fee", false, 4},
      {"Other fee", true, 5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(quickenTypeForFormatType(format, c.type, c.negative).quickenType, c.expected)
        << c.type << " " << c.negative;
}

TEST(InvestmentReadingTest, CashAmountsAreNormalised) {
  struct Case {
    const char* amount;
    bool european;
    const char* expected;
  };
  const Case cases[] = {{"1,234.56", true, "1234,56"},
                        {"12.00-", false, "-12.00"},
                        {"(12.00)", false, "-12.00"},
                        {"$1,234.56", false, "1,234.56"}};
  for (const Case& c : cases)
    EXPECT_EQ(normalizeQIFAmount(c.amount, "$)+ ", c.european), c.expected) << c.amount;
  // Converted once only: a second pass leaves the text alone.
  Value split{{"amount", "12.00-"}};
  EXPECT_EQ(normalizeQIFAmountIn(split, "", false), "-12.00");
  EXPECT_EQ(normalizeQIFAmountIn(split, "", false), "-12.00");
}

struct Reader {
  testing::ScriptedPlatform platform;
  ErrorWarning errorWarning{platform, nullptr};
  DateTables tables = Bundle::builtIn().dateTables();
  InvestmentReader reader{tables, errorWarning};
  Value read(std::string_view text, const Value& format) {
    return reader
        .fromFormattedText(text, format, kPast, kFuture, CalendarDay{2024, 6, 1}, "%m/%d/%Y")
        .value_or(Value());
  }
};

TEST(InvestmentReadingTest, TextFieldsGiveAmountsWithTheirSigns) {
  Value format{{"FormatType", "Investment"},
               {"DateDelimiter", "/"},
               {"DateStart", "\n"},
               {"DateEnd", ","},
               {"OneTransactionPerLine", true},
               {"Fields", "CSV"},
               {"Type", 1},
               {"Security", 2},
               {"Debit", 3},
               {"Credit", 4}};
  Reader r;
  Value records = r.read(
      "Date,Type,Security,Out,In\n"
      "01/02/2024,Fee,Acme,12.50,\n"
      "01/03/2024,Credit,Acme,,12.50\n"
      "01/04/2024,Fee,Acme,abc,\n",
      format);
  ASSERT_EQ(records.size(), 3u);
  struct Expected {
    double amount;
    bool negative;
  };
  const Expected expected[] = {{12.5, true}, {12.5, false}};
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(records[i]["Amount"].toDouble(), expected[i].amount) << i;
    EXPECT_EQ(records[i]["amountWasNegative"].toBool(), expected[i].negative) << i;
    EXPECT_EQ(str(records[i], "Date"), i == 0 ? "01/02/2024" : "01/03/2024");  // no Date: field 0
    EXPECT_EQ(str(records[i], "Security"), "Acme");
  }
  EXPECT_FALSE(records[2].contains("Amount"));
  EXPECT_EQ(str(records[2], "AmountError"), "Invalid: abc");

  // Values found after a label instead of in a column, up to the end of their field; what
  // is no number is kept as an error of its own field.
  format.erase("Type");
  format.set("TypeAfter", "did ");
  format.set("PriceAfter", "at ");
  format.set("SharesAfter", "qty ");
  records = r.read(
      "Date,Type,Security,Out,In\n"
      "01/05/2024,did Sell,Acme,,10.00,at 2.5,qty 4\n"
      "01/06/2024,did Sell,Acme,,10.00,at two,qty many\n",
      format);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(str(records[0], "Type"), "Sell");
  EXPECT_EQ(records[0]["Price"].toDouble(), 2.5);
  EXPECT_EQ(records[0]["Shares"].toDouble(), 4);
  EXPECT_EQ(str(records[1], "PriceError"), "Invalid: two");
  EXPECT_EQ(str(records[1], "SharesError"), "Invalid: many");
}

// Trades and bank lines of one download are each a transaction of their own, in order; a
// bank line after the last trade does not join it; securities come from the security list,
// or are the identifier itself when the list does not name them.
TEST(InvestmentReadingTest, EveryOFXAggregateIsOneTransaction) {
  const std::string ofx =
      "OFXHEADER:100\n<OFX><INVSTMTMSGSRSV1><INVSTMTTRNRS><INVSTMTRS><INVTRANLIST>\n"
      "<INVBANKTRAN><STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240102<TRNAMT>50.00<NAME>IN"
      "</STMTTRN></INVBANKTRAN>\n"
      "<BUYSTOCK><INVBUY><INVTRAN><DTTRADE>20240103<MEMO>BOUGHT</INVTRAN><SECID><UNIQUEID>111"
      "<UNIQUEIDTYPE>CUSIP</SECID><UNITS>10<UNITPRICE>5<TOTAL>-50.00</INVBUY><BUYTYPE>BUY"
      "</BUYSTOCK>\n"
      "<INCOME><INVTRAN><DTTRADE>20240104</INVTRAN><SECID><UNIQUEID>US999<UNIQUEIDTYPE>ISIN"
      "</SECID><INCOMETYPE>DIV<TOTAL>3.10</INCOME>\n"
      "<INVBANKTRAN><STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-7.25</STMTTRN>"
      "</INVBANKTRAN>\n"
      "<INCOME><INVTRAN><DTTRADE>20240106</INVTRAN><SECID><UNIQUEID>111<UNIQUEIDTYPE>CUSIP"
      "</SECID><INCOMETYPE>CGLONG<TOTAL>4.00</INCOME>\n"
      "<INCOME><INVTRAN><DTTRADE>20240107</INVTRAN><SECID><UNIQUEID>111<UNIQUEIDTYPE>CUSIP"
      "</SECID><INCOMETYPE>MISC<TOTAL>-1.00</INCOME>\n"
      "<JRNLSEC><INVTRAN><DTTRADE>20240108</INVTRAN><SECID><UNIQUEID>111<UNIQUEIDTYPE>CUSIP"
      "</SECID><UNITS>-2</JRNLSEC>\n"
      "</INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1>\n"
      "<SECLISTMSGSRSV1><SECLIST><STOCKINFO><SECINFO><SECID><UNIQUEID>111<UNIQUEIDTYPE>CUSIP"
      "</SECID><SECNAME>Acme Corp<TICKER>ACME</SECINFO></STOCKINFO></SECLIST></SECLISTMSGSRSV1>"
      "</OFX>\n";
  Reader r;
  Value records = r.read(ofx, Bundle::builtIn().table("CVOFXFormat"));
  struct Expected {
    const char* date;
    const char* type;
    const char* security;
    double amount;
    bool negative;
    int proposed;
  };
  const Expected expected[] = {
      {"01/02/2024", "Bank Deposit", "", 50.0, false, quickenType::deposit},
      {"01/03/2024", "Buy", "Acme Corp", 50.0, true, 2},
      {"01/04/2024", "Dividend", "US999", 3.1, false, 6},
      {"01/05/2024", "Bank Withdrawal", "", 7.25, true, quickenType::withdrawal},
      {"01/06/2024", "Long-Term Capital Gain", "Acme Corp", 4.0, false, 8},  // CGLong
      {"01/07/2024", "Miscellaneous Income", "Acme Corp", 1.0, true, 5},     // MiscExp by sign
      {"01/08/2024", "Journal Shares", "Acme Corp", 0.0, false, 15},         // ShrsOut by sign
  };
  ASSERT_EQ(records.size(), std::size(expected));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Value& record = records[i];
    EXPECT_EQ(str(record, "Date"), expected[i].date) << i;
    EXPECT_EQ(str(record, "Type"), expected[i].type) << i;
    EXPECT_EQ(str(record, "Security"), expected[i].security) << i;
    EXPECT_DOUBLE_EQ(record["Amount"].toDouble(), expected[i].amount) << i;
    EXPECT_EQ(record["amountWasNegative"].toBool(), expected[i].negative) << i;
    EXPECT_EQ(record["ProposedType"].toInt(), expected[i].proposed) << i;
  }
  // A range keeps exactly the transactions inside it.
  Value inRange =
      r.reader
          .fromFormattedText(ofx, Bundle::builtIn().table("CVOFXFormat"), CalendarDay{2024, 1, 3},
                             CalendarDay{2024, 1, 4}, CalendarDay{2024, 6, 1}, "%m/%d/%Y")
          .value_or(Value());
  ASSERT_EQ(inRange.size(), 2u);
  EXPECT_EQ(str(inRange[0], "Date"), "01/03/2024");
  EXPECT_EQ(str(inRange[1], "Date"), "01/04/2024");
}

}  // namespace
}  // namespace corvela

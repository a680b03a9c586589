// The extractor: chunks of a text, fields of a chunk, and the walk over the chunks with its date
// range and error triples.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inputformats/Extract.h"
#include "prefs/Bundle.h"
#include "support/CaseFile.h"

namespace corvela {
namespace {

using Strings = std::vector<std::string>;

const DateTables& tables() {
  static const DateTables bundle = Bundle::builtIn().dateTables();
  return bundle;
}

Value lineFormat(std::string_view fields, std::string_view dateEnd = ",") {
  return Value{{"Name", "t"},        {"DateDelimiter", "/"},          {"DateStart", "\n"},
               {"DateEnd", dateEnd}, {"OneTransactionPerLine", true}, {"Fields", fields},
               {"Date", 0}};
}

struct SplitCase {
  const char* name;
  std::string text;
  Value format;
  Strings chunks;
};

TEST(ExtractTest, SplitTextIntoLines) {
  Value chunkMode{{"DateDelimiter", "/"}, {"DateStart", "\n"}, {"DateEnd", " "}};
  Value afterBlank = lineFormat("CSV");
  afterBlank.set("DateStart", " ");
  Value fromStart = chunkMode;
  fromStart.set("firstLineStartsWithTransactionDate", true);
  const SplitCase cases[] = {
      {"chunks end before the break in front of the next date",
       "Statement\n01/02/2024 Shop\n  more\n01/03/2024 Bank",
       chunkMode,
       {"01/02/2024 Shop\n  more", "01/03/2024 Bank"}},
      {"the first chunk may begin at the text's start",
       "01/02/2024 Shop\n01/03/2024 Bank",
       fromStart,
       {"01/02/2024 Shop", "01/03/2024 Bank"}},
      {"no date, no chunks", "Statement\nnothing here\n", chunkMode, {}},
      {"CR LF gives empty lines, a final break none",
       "Date,Text\r\n01/02/2024,a\r\nTotal\r\n01/03/2024,b\r\n",
       lineFormat("CSV"),
       {"01/02/2024,a", "", "Total", "", "01/03/2024,b", ""}},
      {"line mode starts at the line of the first date",
       "x\nid 01/02/2024,a\n",
       afterBlank,
       {"id 01/02/2024,a"}},
  };
  for (const SplitCase& c : cases) {
    ScanState state;
    EXPECT_EQ(splitTextIntoLines(c.text, c.format, tables(), state), c.chunks) << c.name;
  }
}

TEST(ExtractTest, CutFields) {
  testing::expectCaseFile(
      "inputformats/chunk-fields.txt", [](const std::string& chunk, const std::string& rule) {
        ScanState state;
        ChunkFields cut = cutFields(chunk, Value{{"Fields", rule}}, state);
        std::string fields;
        for (const std::string& field : cut.fields)
          fields += (fields.empty() ? "" : " ") + testing::quoted(field);
        if (!cut.error.empty())
          fields += (fields.empty() ? "" : " ") + ("refused " + testing::quoted(cut.error));
        return fields;
      });
  ScanState state;
  EXPECT_EQ(cutFields("20240102<NAME>x", Value{{"OFX", true}}, state).fields,
            (Strings{"20240102", "<NAME>x"}));
}

// The walk: the range takes both of its ends, an unreadable chunk comes as an error triple and
// the walk goes on after it, and a second reading of the same extractor starts afresh.
TEST(ExtractTest, NextTransactionKeepsTheRangeAndGoesOnAfterErrors) {
  const std::string text =
      "Date,Text,Amount\n"
      "01/31/2024,before,1\n"
      "02/01/2024,first,2\n"
      "02/15/2024,\"open,3\n"
      "02/30/2024,no such day,4\n"
      "02/29/2024,last,5\n"
      "03/01/2024,after,6\n";
  const Value format = lineFormat("CSV");
  Extract extract(tables(), CalendarDay{2024, 6, 1}, "%d.%m.%Y");
  for (int reading = 0; reading < 2; ++reading) {
    ASSERT_TRUE(extract.parseTransactionsForCString(text, format));
    Strings seen;
    ExtractedTransaction t;
    while (extract.nextTransactionUsingFormat(format, {2024, 2, 1}, {2024, 2, 29}, t))
      seen.push_back(t.isError() ? t.error.substr(0, 39) + "|" + t.text
                                 : t.fields[0] + "|" + t.fields[1]);
    EXPECT_EQ(seen, (Strings{"01.02.2024|first",
                             "The following transaction has invalid C|02/15/2024,\"open,3",
                             "The following transaction does not cont|02/30/2024,no such day,4",
                             "29.02.2024|last"}));
  }
  EXPECT_FALSE(extract.parseTransactionsForCString("no dates at all\n", format));
}

}  // namespace
}  // namespace corvela

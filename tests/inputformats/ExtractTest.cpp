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

TEST(ExtractTest, SplitTextIntoLines) {
  testing::expectCaseFile(
      "inputformats/chunk-lines.txt", [](const std::string& text, const std::string& layout) {
        Value format = lineFormat("CSV");
        if (layout == "chunks" || layout == "from-start") {
          format = Value{{"DateDelimiter", "/"}, {"DateStart", "\n"}, {"DateEnd", " "}};
          if (layout == "from-start") format.set("firstLineStartsWithTransactionDate", true);
        } else if (layout == "lines-after-blank") {
          format.set("DateStart", " ");
        }
        ScanState state;
        std::string chunks;
        for (const std::string& chunk : splitTextIntoLines(text, format, tables(), state))
          chunks += (chunks.empty() ? "" : " ") + testing::quoted(chunk);
        return chunks;
      });
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

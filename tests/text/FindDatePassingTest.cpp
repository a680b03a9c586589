#include <gtest/gtest.h>

#include <string>

#include "prefs/Bundle.h"
#include "text/Dates.h"

namespace corvela {
namespace {

// A search from `from` on passes the date it was asked to pass, even when that date's later
// separators lie after `from` (two dates on one line, as in most CSV statements).
TEST(FindDateFrom, AnswersNoDateThatBeginsBeforeTheSearch) {
  struct Case {
    std::string text, delimiter, passed, next;
  } cases[] = {
      {"x\n2015-12-31,2016-01-02,a\n2015-12-30,2016-01-01,b\n", "-", "2015-12-31", "2015-12-30"},
      {"x\n12/31/2015,01/02/2016,a\n12/30/2015,01/01/2016,b\n", "/", "12/31/2015", "12/30/2015"},
      {"x\n31.12.2015,02.01.2016,a\n30.12.2015,01.01.2016,b\n", ".", "31.12.2015", "30.12.2015"},
  };
  const DateTables tables = Bundle::builtIn().dateTables();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DateRule rule;
    rule.delimiter = c.delimiter;
    rule.start = "\n";
    rule.end = ",";
    ScanState state;
    std::size_t passed = c.text.find(c.passed);
    std::optional<TextSpan> first = findDate(c.text, rule, tables, state);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->start, passed);
    std::optional<TextSpan> next = findDate(c.text, rule, tables, state, passed + c.passed.size());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->start, c.text.find(c.next));
  }
}

}  // namespace
}  // namespace corvela

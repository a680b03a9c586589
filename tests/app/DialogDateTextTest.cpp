#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/ControlSettings.h"

namespace corvela {
namespace {

// A date field finished with a typed day shows it in the output pattern; a text that names no
// day is left as typed (none).
TEST(DialogDateTextTest, WordsAndShortYearsBecomeTheOutputPattern) {
  struct Case {
    const char* text;
    const char* pattern;
    CalendarDay today;
    std::optional<std::string> shown;
  };
  const CalendarDay march15{2024, 3, 15};
  const Case cases[] = {
      {"today", "%m/%d/%Y", march15, "03/15/2024"},
      {" Today ", "%m/%d/%Y", march15, "03/15/2024"},
      {"YESTERDAY", "%m/%d/%Y", march15, "03/14/2024"},
      {"tomorrow", "%d/%m/%Y", march15, "16/03/2024"},
      // The words cross month and year ends like any other day.
      {"yesterday", "%m/%d/%Y", {2024, 3, 1}, "02/29/2024"},
      {"tomorrow", "%m/%d/%Y", {2023, 12, 31}, "01/01/2024"},
      {"1/5/24", "%m/%d/%Y", march15, "01/05/2024"},
      {"5/1/99", "%d/%m/%Y", march15, "05/01/1999"},
      {"01/05/2024", "%m/%d/%Y", march15, "01/05/2024"},
      {"to day", "%m/%d/%Y", march15, std::nullopt},
      {"todays", "%m/%d/%Y", march15, std::nullopt},
      {"02/30/2024", "%m/%d/%Y", march15, std::nullopt},
      {"", "%m/%d/%Y", march15, std::nullopt},
  };
  for (const Case& c : cases) {
    std::string pattern = c.pattern;
    std::string shortYear = pattern.substr(0, pattern.size() - 2) + "%y";
    EXPECT_EQ(dialogDateText(c.text, pattern, shortYear, c.today), c.shown) << c.text;
  }
}

}  // namespace
}  // namespace corvela

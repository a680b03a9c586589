#include <gtest/gtest.h>

#include <vector>

#include "SscanfOracle.h"
#include "text/ScanPattern.h"

namespace corvela {
namespace {

// The patterns of the bundle's date tables and of the scanners, and patterns that reach the
// corners of the C library's rules; texts that are dates and texts that are not. Every pair is
// held to sscanf: the numbers read, how many, and the length consumed.
const std::vector<const char*> kPatterns[] = {
    {"%d/%d/%d%n", "%d/%d'%d%n", "%d-%d-%d%n", "%4d%2d%2d%n", "%2d/%2d%n", " %d/%d%n", " %d, %d %n",
     "-%d-%d %n", ". %d, %d %n", "January %d, %d%n", "%d January %d%n", "Jan %d%n", "%d Sept%n",
     "%d/%d%n", "%s %d%n", "%*s %d%n", "May %d, %d%n", "%d%n"},
    {"%3s%n",    "%c%c%n",     "%5c%n",  "%[0-9]%n", "%[^,],%d%n", "%[]a]%n", "%[-a]%n", "%[a-]%n",
     "%[z-a]%n", "%[a-c-e]%n", "%%%d%n", "%d%%%n",   "%*d/%d%n",   "%1d%n",   "%0d%n",   "%d %n",
     " %n",      "%n",         "%[abc",  "%",        "%ld%n",      "%x%n"}};
const std::vector<const char*> kTexts[] = {
    {"12/31/2023", "1/2/74 rest", "2023-12-31", "31.12.2023", "3/29' 0", "20070122", "", "   ",
     " 12/31", "-5/+3/-0", "+", "-", "- 5", "99999999999/1/1", "-99999999999999999999999/2/3",
     "4294967297", "January 5, 2024"},
    {"5 January 2024", "Jan 31",     "31 Sept", "abc 12", "abc",  "ab,12",
     "]]]a",           "-a-",        "%12",     "12%",    "1 2",  "12\t\n",
     "\xC3\xA9 12",    "12\xC2\xA0", "0x1A",    "12 3/8", " 3/0", "May 5, 2024 ",
     " 5, 2024  ",     "12/31",      "x"}};

TEST(ScanPatternTest, AgreesWithTheCLibrary) {
  for (const auto& patterns : kPatterns) {
    for (const char* pattern : patterns) {
      for (const auto& texts : kTexts) {
        for (const char* text : texts) {
          if (!testing::assignedConversions(pattern)) {
            // Outside the oracle (a lone "%", a length modifier, %x): must simply not match.
            EXPECT_LE(scanPattern(text, pattern).conversions, 0) << pattern << " on " << text;
            continue;
          }
          EXPECT_EQ(testing::scanDisagreement(text, pattern), "")
              << "pattern \"" << pattern << "\" on \"" << text << "\"";
        }
      }
    }
  }
}

TEST(ScanPatternTest, StopsAtTheEndOfTheViewAndAtAZeroByte) {
  // The view ends inside a longer buffer: nothing after it is read.
  std::string_view cut = std::string_view("12/31/2023", 5);
  ScanResult r = scanPattern(cut, "%d/%d/%d%n");
  EXPECT_EQ(r.conversions, 2);
  EXPECT_FALSE(r.consumed);

  r = scanPattern(std::string_view("12\0/31", 6), "%d/%d%n");
  EXPECT_EQ(r.conversions, 1);
}

}  // namespace
}  // namespace corvela

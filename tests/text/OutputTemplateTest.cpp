#include <gtest/gtest.h>

#include "text/OutputTemplate.h"

namespace corvela {
namespace {

TEST(OutputTemplateTest, FillsDescriptionAndMemo) {
  struct Case {
    const char* outputTemplate;
    const char* description;
    const char* memo;
    const char* expected;
  };
  const Case cases[] = {
      {"%d - %m", "Shop", "", "Shop - "},
      {"%d - %m", "Shop", "Bread", "Shop - Bread"},
      {"%m (%d)", "Shop", "Bread", "Bread (Shop)"},
      {"100%%", "Shop", "", "100%%"},
      {"%x", "Shop", "", "%x"},
      {"%d%", "Shop", "", "Shop"},
      {"%", "Shop", "", ""},
      {"", "Shop", "Bread", ""},
      {"%d%d", "%m", "Bread", "%m%m"},  // filled text is not read again
  };
  for (const Case& c : cases)
    EXPECT_EQ(convertOutputForFieldType(c.outputTemplate, c.description, c.memo), c.expected)
        << c.outputTemplate;
}

}  // namespace
}  // namespace corvela

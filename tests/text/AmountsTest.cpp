#include <gtest/gtest.h>

#include <cstdio>

#include "support/CaseFile.h"
#include "text/Amounts.h"

namespace corvela {
namespace {

TEST(AmountsTest, ConvertEuropeanAmount) {
  testing::expectCaseFile("text/european-amounts.txt",
                          [](const std::string& text, const std::string&) {
                            return testing::quoted(convertEuropeanAmount(text));
                          });
}

TEST(AmountsTest, FindAmount) {
  testing::expectCaseFile("text/amounts.txt", [](const std::string& text, const std::string&) {
    AmountReading reading = findAmount(text);
    char value[64];
    std::snprintf(value, sizeof value, "%s%.10g", reading.negative ? "-" : "", reading.value);
    return reading.isAmount() ? std::string(value) : "no amount";
  });
}

}  // namespace
}  // namespace corvela

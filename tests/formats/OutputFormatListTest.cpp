#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormatsFixture.h"
#include "lists/TypingField.h"
#include "prefs/ValueText.h"

namespace corvela {
namespace {

using testing::delimitedFormat;
using testing::OutputFormatsTest;

// --- the list

// Start-up creates the QIF entry once; names stay sorted and unique without regard to case; a
// delete removes the entry at its index and nothing outside.
TEST_F(OutputFormatsTest, TheListKeepsOneQIFEntryAndSortedUniqueNames) {
  EXPECT_EQ(formats.formatAtIndex(0), (Value{{"Name", "QIF"}}));
  EXPECT_EQ(formats.formatAtIndex(1), std::nullopt);
  EXPECT_EQ(formats.formatAtIndex(-1), std::nullopt);
  EXPECT_EQ(formats.formatForName("Savings"), std::nullopt);
  EXPECT_FALSE(formats.createIfAbsent());
  EXPECT_EQ(formats.uniqueNameForName("Savings"), "Savings");
  EXPECT_EQ(formats.addFormat(delimitedFormat("Savings", {"Date"})), 1);
  EXPECT_FALSE(formats.createIfAbsent());
  EXPECT_EQ(formats.addFormat(delimitedFormat("checking", {"Date"})), 0);
  EXPECT_EQ(formats.addFormat(delimitedFormat("Zeta", {"Date"})), 3);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "Savings", "Zeta"}));
  Value replacement = delimitedFormat("savings", {"Amount"});
  EXPECT_EQ(formats.addFormat(replacement), 2);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "savings", "Zeta"}));
  EXPECT_EQ(formats.formatForName("SAVINGS"), replacement);

  EXPECT_EQ(formats.uniqueNameForName("Savings"), "Savings2");
  formats.addFormat(delimitedFormat("savings2", {"Date"}));
  EXPECT_EQ(formats.uniqueNameForName("Savings"), "Savings3");
  EXPECT_EQ(formats.uniqueNameForName("qif"), "qif2");

  formats.deleteFormatAtIndex(9);
  formats.deleteFormatAtIndex(-1);
  formats.deleteFormatAtIndex(3);
  EXPECT_EQ(names(), (std::vector<std::string>{"checking", "QIF", "savings", "Zeta"}));

  // The editor sees the list without the QIF entry, and stores its own order; the QIF entry
  // goes at the end, once.
  Value edited = formats.getOutputFormatsArray();
  ASSERT_EQ(edited.size(), 3u);
  EXPECT_EQ(str(edited[0], "Name") + " " + str(edited[2], "Name"), "checking Zeta");
  formats.setOutputFormatsArray(Value(Value::Array{edited[2], Value{{"Name", "QIF"}}, edited[0]}));
  EXPECT_EQ(names(), (std::vector<std::string>{"Zeta", "checking", "QIF"}));
}

// --- the output-format field

TEST_F(OutputFormatsTest, OnlyFormatsOfTheInputsKindAreOffered) {
  for (auto [name, type] : {std::pair{"Visa", "Credit Card"}, std::pair{"Broker", "Investment"},
                            std::pair{"Checking", "Bank"}, std::pair{"Odd", "Other"}}) {
    Value format = delimitedFormat(name, {"Date"});
    format.set("Type", type);
    formats.addFormat(format);
  }
  const std::vector<std::string> offered[] = {{"Checking", "QIF"},
                                              {"QIF", "Visa"},
                                              {"Broker", "QIF"},
                                              {"Checking", "QIF", "Visa"},
                                              {"QIF"}};
  for (int kind = 0; kind < 5; ++kind) {
    formats.comboBoxIncludeOnly(kind, "");
    EXPECT_EQ(formats.filteredNames(), offered[kind]) << kind;
  }
  // A field naming a filtered-out format falls back to QIF; a new name stays.
  EXPECT_EQ(formats.comboBoxIncludeOnly(0, "visa"), "QIF");
  EXPECT_EQ(formats.comboBoxIncludeOnly(1, "visa"), "visa");
  EXPECT_EQ(formats.comboBoxIncludeOnly(0, "A new name"), "A new name");
}

TEST_F(OutputFormatsTest, TheFieldsDataSourceWorksOnTheOfferedNamesAndCompletesTyping) {
  formats.addFormat(delimitedFormat("Bank Long", {"Date"}));
  formats.addFormat(delimitedFormat("Bank", {"Date"}));
  formats.comboBoxIncludeOnly(0, "");
  EXPECT_EQ(formats.numberOfItemsInComboBox(), 3);
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(1), "Bank Long");
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(-1), "");
  EXPECT_EQ(formats.comboBoxObjectValueForItemAtIndex(3), "");
  EXPECT_EQ(formats.comboBoxIndexOfItemWithStringValue("QIF"), 2);
  EXPECT_EQ(formats.comboBoxIndexOfItemWithStringValue("bank"), kComboBoxNotFound);
  EXPECT_EQ(formats.comboBoxCompletedString("ba"), "Bank");
  EXPECT_EQ(formats.comboBoxCompletedString("bank "), "Bank Long");
  EXPECT_EQ(formats.comboBoxCompletedString("x"), std::nullopt);

  // Typing completes a known name but accepts a new one.
  auto rule = [this](const TextEdit& edit) { return formats.isPartialStringValid(edit); };
  formats.comboBoxEntered();
  testing::TypingField known(rule);
  known.type("b");
  EXPECT_EQ(known.shown(), "B[ank]");
  formats.comboBoxEntered();
  testing::TypingField fresh(rule);
  fresh.type("New");
  EXPECT_EQ(fresh.shown(), "New[]");
}

}  // namespace
}  // namespace corvela

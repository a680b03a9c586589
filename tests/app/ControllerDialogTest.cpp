#include <gtest/gtest.h>

#include "app/ControllerFixture.h"

namespace corvela::testing {
namespace {

constexpr const char* kRegister = "!Type:Bank\nD03/01/2024\nT-12.50\nPGrocer\n^\n";

// The dialog's step-by-step scenarios are scripts (tests/data/app/scripts/DialogTest.*).
class DialogTest : public ControllerTest {};

// With the option "append", a QIF run heads its output with an "!Account" block naming the
// account field's text: only a known account of the statement's kind may stand there.
struct AppendAccountCase {
  const char* name;
  const char* input;  // a file name: its extension says what it holds
  const char* typed;  // typed in the account field; none leaves it as filled in
  const char* shown;  // the account field afterwards
  bool enabled;       // "Process Transactions"
};

// The bundled checking download, whose account number is 4417-2290.
const std::string kDownload =
    std::string(CORVELA_TEST_DATA) + "/../../examples/checking-2024-03.ofx";

const AppendAccountCase kAppendAccounts[] = {
    {"TheOnlyAccountOfTheKindIsShown", "in.qif", nullptr, "Checking", true},
    {"AStatementsAccountNumberIsNoAccount", "in.ofx", nullptr, "4417-2290", false},
    {"AChosenAccountReplacesTheNumber", "in.ofx", "Checking", "Checking", true},
    {"AnInvestmentAccountForABankStatement", "in.qif", "Brokerage", "Brokerage", false},
    {"AnUnknownName", "in.qif", "Nope", "Nope", false},
    {"AnEmptyField", "in.qif", "", "", false},
};

TEST_F(DialogTest, AppendHeaderNamesAKnownAccountOfTheStatementsKind) {
  turnOn(option::append);
  addAccounts({{"Checking", "Bank"}, {"Brokerage", "Port"}});
  const char* header = "!Account\nNChecking\nTBank\n^\n!Type:Bank\n";
  for (const AppendAccountCase& c : kAppendAccounts) {
    SCOPED_TRACE(c.name);
    std::string previous = file("previous.qif", header);
    remember({{"outputFilePath", previous}});
    std::string input = c.input;
    controller().actuallyProcessFile(
        file(c.input, input.ends_with(".ofx") ? readFile(kDownload) : std::string(kRegister)));
    if (c.typed) controller().controlTextDidChange(MainControl::quickenAccountText, c.typed);
    EXPECT_EQ(form().quickenAccountText.text, c.shown);
    EXPECT_EQ(form().processTheTransactionsButton.enabled, c.enabled);
    controller().processTheTransactions();
    EXPECT_EQ(readFile(previous).starts_with(std::string(header) + header + "D"), c.enabled)
        << readFile(previous);
    controller().doneWithFile();
  }
}

}  // namespace
}  // namespace corvela::testing

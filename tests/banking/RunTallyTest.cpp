#include <gtest/gtest.h>

#include "banking/BankingHarness.h"

namespace corvela::testing {
namespace {

// Five purchases an instruction knows and a coffee it does not; every transaction is shown.
constexpr std::string_view kRegister =
    "!Type:Bank\n"
    "D01/02/2024\nT-1.00\nPSHOP ONE\n^\n"
    "D01/03/2024\nT-2.00\nPSHOP TWO\n^\n"
    "D01/04/2024\nT-3.00\nPCOFFEE HOUSE\n^\n"
    "D01/05/2024\nT-4.00\nPSHOP FOUR\n^\n"
    "D01/06/2024\nT-5.00\nPSHOP FIVE\n^\n";

struct TallyCase {
  const char* name;
  std::vector<DialogAnswer> script;
  RunTally expected;
};

class RunTallyTest : public ::testing::TestWithParam<TallyCase> {};

TEST_P(RunTallyTest, SaysWhatBecameOfEveryTransaction) {
  BankingHarness h;
  ASSERT_TRUE(h.loadStore(R"({"Categories": ["Food", "Dining"],
      "Instructions": [{"descriptionMatch": "SHOP", "category": "Food"}]})")
                  .ok());
  h.setOptions({option::confirmAllTransactions});
  h.readQIF(kRegister);
  const TallyCase& c = GetParam();
  h.run(std::deque<DialogAnswer>(c.script.begin(), c.script.end()));
  const RunTally& tally = h.processor.tally();
  EXPECT_EQ(tally.written, h.end.count);
  EXPECT_EQ(tally.written, c.expected.written);
  EXPECT_EQ(tally.confirmed, c.expected.confirmed);
  EXPECT_EQ(tally.taught, c.expected.taught);
  EXPECT_EQ(tally.skipped, c.expected.skipped);
  EXPECT_EQ(tally.leftUnprocessed, c.expected.leftUnprocessed);
  // Every transaction is accounted for once, whatever the way through the run.
  EXPECT_EQ(tally.written + tally.skipped + tally.leftUnprocessed, 5);
}

const DialogAnswer kTeachCoffee =
    press::save(Value{{"descriptionMatch", "COFFEE"}, {"category", "Dining"}});

INSTANTIATE_TEST_SUITE_P(
    Runs, RunTallyTest,
    ::testing::Values(TallyCase{"skipRemaining",
                                {press::ok(), press::skip(), kTeachCoffee, press::skipRemaining()},
                                {1, 1, 1, 1, 3}},
                      TallyCase{"backUndoesASkip",
                                {press::ok(), press::skip(), press::back(), press::ok(),
                                 kTeachCoffee, press::ok(), press::ok(), press::ok()},
                                {5, 5, 1, 0, 0}},
                      TallyCase{
                          "backOverATaughtTransaction",
                          {press::ok(), press::ok(), kTeachCoffee, press::ok(), press::back(),
                           press::back(), press::skip(), press::ok(), press::ok(), press::ok()},
                          {4, 4, 1, 1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvela::testing

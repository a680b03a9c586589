// End-to-end cases: a QIF register and a person's store go through the transaction loop, and
// the output must equal the expected bytes. One folder per case under tests/data/banking/:
//   input.qif      the register
//   store.json     the preference store (options, instructions, output formats, ...)
//   run.json       optional: "settings" (the run's settings), "kind" (0 bank, 1 credit card),
//                  "answers" (dialog buttons, in order), "expectedCount", and "delimitedFormat"
//                  ("note" says what the case guards; the run does not read it)
//   expected.qif   the QIF output, header included
//   expected.csv   optional: the output with the delimited format named by "delimitedFormat"
// CORVELA_UPDATE_GOLDEN=1 rewrites the expected files, to be read over before they are committed.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "formats/OutputFormatKeys.h"
#include "formats/QIFOutputText.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = fs::path(CORVELA_TEST_DATA) / "banking";

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

RunSettings settingsFrom(const Value& json) {
  RunSettings settings;
  settings.outputDate = str(json, "outputDate");
  settings.outputNumber = str(json, "outputNumber");
  settings.markAsCleared = json["markAsCleared"].toBool();
  settings.markAsUncleared = json["markAsUncleared"].toBool();
  settings.qifTypeTag = static_cast<int>(json["qifTypeTag"].toInt());
  settings.ofxTypeIndex = static_cast<int>(json["ofxTypeIndex"].toInt());
  settings.account = str(json, "account");
  return settings;
}

// "ok", "swap", "skip", "skipRemaining", "back", "cancel" alone or with a cancel confirmation
// answer
// ("cancel-stop", "cancel-later", "cancel-now"), or {"save": instruction record}.
DialogAnswer answerFrom(const Value& json, ScriptedPlatform& platform) {
  if (json.isDictionary()) return press::save(json["save"]);
  const std::string& name = json.toString();
  if (name == "ok") return press::ok();
  if (name == "swap") return press::swap();
  if (name == "skip") return press::skip();
  if (name == "skipRemaining") return press::skipRemaining();
  if (name == "back") return press::back();
  if (name == "cancel-stop") platform.answerNextCancelConfirm(CancelConfirm::stop);
  if (name == "cancel-later") platform.answerNextCancelConfirm(CancelConfirm::finishLater);
  if (name == "cancel-now") platform.answerNextCancelConfirm(CancelConfirm::finishNow);
  if (name.starts_with("cancel")) return press::cancel();
  ADD_FAILURE() << "unknown answer " << name;
  return press::skipRemaining();
}

class BankingGoldenTest : public ::testing::TestWithParam<std::string> {
 protected:
  // Runs the case with the QIF output format, or the delimited format its run.json names, and
  // answers the output.
  std::string runCase(bool delimited) {
    const fs::path folder = kCases / GetParam();
    BankingHarness harness;
    Status loaded = harness.loadStore(readText(folder / "store.json"));
    EXPECT_TRUE(loaded.ok()) << loaded.message();

    Value run = Value::dictionary();
    if (fs::exists(folder / "run.json")) {
      Result<Value> parsed = fromJSON(readText(folder / "run.json"));
      EXPECT_TRUE(parsed.ok()) << parsed.message();
      if (parsed.ok()) run = parsed.value();
    }
    harness.settings = settingsFrom(run["settings"]);
    harness.settings.outputFormatText =
        delimited ? str(run, "delimitedFormat") : std::string(kQIFFormatName);
    if (!delimited) harness.output = qifTypeHeader(static_cast<int>(run["kind"].toInt()));

    harness.readQIF(readText(folder / "input.qif"));
    std::deque<DialogAnswer> script;
    for (const Value& answer : run["answers"].toArray())
      script.push_back(answerFrom(answer, harness.platform));
    harness.run(std::move(script));

    EXPECT_EQ(harness.end.calls, 1);
    if (const Value* count = run.find("expectedCount")) {
      EXPECT_EQ(harness.end.count, count->toInt());
    }
    EXPECT_TRUE(harness.platform.allAnswersUsed());
    return harness.output;
  }
};

std::vector<std::string> delimitedCaseNames() {
  std::vector<std::string> names = caseNames();
  std::erase_if(
      names, [](const std::string& name) { return !fs::exists(kCases / name / "expected.csv"); });
  return names;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

TEST_P(BankingGoldenTest, QIFOutputIsAsExpected) {
  expectDataFile("banking/" + GetParam() + "/expected.qif", runCase(false));
}

INSTANTIATE_TEST_SUITE_P(Cases, BankingGoldenTest, ::testing::ValuesIn(caseNames()), testName);

// The same runs with the delimited output format the case names.
class BankingGoldenDelimitedTest : public BankingGoldenTest {};

TEST_P(BankingGoldenDelimitedTest, DelimitedOutputIsAsExpected) {
  expectDataFile("banking/" + GetParam() + "/expected.csv", runCase(true));
}

INSTANTIATE_TEST_SUITE_P(Cases, BankingGoldenDelimitedTest,
                         ::testing::ValuesIn(delimitedCaseNames()), testName);

}  // namespace
}  // namespace corvela::testing

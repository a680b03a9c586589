#include <gtest/gtest.h>

#include <csignal>

#include "app/ProblemReport.h"
#include "platform/CrashReports.h"
#include "prefs/CVPrefs.h"
#include "support/ScratchStore.h"
#include "support/TempDir.h"

namespace corvela::testing {
namespace {

constexpr const char* kBodyStart =
    "\n\nDebugging info is included below.  You can delete it if irrelevant to your email, or "
    "review it to assure that it contains no information that you do not want sent.  It "
    "contains configuration counts, information from recent crashes (if any), and your OS "
    "version.\n\n";

std::string percentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The store the program runs with holds the counts; a crash folder holds one report of ours
// and a file of someone else's.
TEST(ProblemReport, CountsTheStoreInUseAndAddsOurCrashReports) {
  ScratchStore scratch;
  scratch.prefs.setObject("Accounts",
                          Value::Array{Value{{"Name", "Checking"}}, Value{{"Name", "Card"}}});
  scratch.prefs.setObject("Categories", Value::Array{"Food", "Rent", "Fun"});
  scratch.prefs.setObject("Instructions", Value::Array{Value{{"descriptionMatch", "A"}}});
  scratch.prefs.setObject("OutputFormats", Value::Array{Value{{"Name", "QIF"}}});
  scratch.prefs.setObject("Descriptions", Value::Array{"a", "b", "c", "d"});
  TempDir crashes;
  crashes.write(
      "Corvela-100-7.crash",
      "Process: Corvela\nSignal: SIGSEGV\n\nThread 0 Crashed::\n#0 here\nThread 1::\n#0 x\n");
  crashes.write("Other-1.crash", "not ours");

  const std::string counts =
      "OS Linux 6.1\n\nAccounts: 2\nCategories: 3\nInstructions: 1\nInput Formats: 0\n"
      "Outout Formats 1\nDescriptions: 4\nSecurities: 0\n";
  struct Case {
    std::string folder;
    std::string expectedBody;
  };
  const Case cases[] = {
      {crashes.path(""),
       kBodyStart + counts +
           "\n--------------------------   Crash Report   --------------------------\n"
           "Process: Corvela\nSignal: SIGSEGV\n\nThread 0 Crashed::\n#0 here\n"},
      {crashes.path("missing"), kBodyStart + counts},
  };
  for (const Case& c : cases) {
    ProblemReport report = composeProblemReport(scratch.prefs, "Linux 6.1", c.folder);
    EXPECT_EQ(report.subject, "Corvela v11.8");
    EXPECT_EQ(report.body, c.expectedBody);

    // Whatever the text holds, the URL carries it whole: only unreserved characters are left
    // bare in the subject and body.
    std::string url = problemReportURL(report);
    const std::string start = "mailto:" + std::string(kProblemReportAddress) + "?subject=";
    ASSERT_TRUE(url.starts_with(start)) << url;
    std::size_t body = url.find("&body=");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(percentDecoded(url.substr(start.size(), body - start.size())), report.subject);
    EXPECT_EQ(percentDecoded(url.substr(body + 6)), report.body);
    EXPECT_EQ(url.find_first_of(" \n&?#", body + 6), std::string::npos);
  }
}

// A crash writes a report into the folder, and the next problem report carries it.
TEST(ProblemReportDeathTest, ACrashLeavesAReportTheMailCarries) {
  // Forked where it stands, so the crashing child writes into this test's folder.
  GTEST_FLAG_SET(death_test_style, "fast");
  TempDir state;
  const std::string folder = state.path("corvela/crashes");
  EXPECT_EXIT(
      {
        installCrashReporter(folder, "11.8");
        std::raise(SIGSEGV);
      },
      ::testing::KilledBySignal(SIGSEGV), "");
  ScratchStore scratch;
  ProblemReport report = composeProblemReport(scratch.prefs, "Linux", folder);
  EXPECT_NE(report.body.find("Crash Report"), std::string::npos) << report.body;
  EXPECT_NE(report.body.find("Version: 11.8\nSignal: SIGSEGV"), std::string::npos) << report.body;
  EXPECT_NE(report.body.find("Thread 0 Crashed::\n"), std::string::npos) << report.body;
}

}  // namespace
}  // namespace corvela::testing

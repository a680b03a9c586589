#include <gtest/gtest.h>

#include <csignal>

#include "app/ProblemReport.h"
#include "platform/CrashReports.h"
#include "prefs/CVPrefs.h"
#include "support/FileText.h"
#include "support/ScratchStore.h"
#include "support/TempDir.h"

namespace corvela::testing {
namespace {

// The store the program runs with holds the counts; a crash folder holds one report of ours
// (only its crashed thread is carried) and a file of someone else's. Each mail, and the URL that
// carries it, is a golden file: only unreserved characters are left bare in the URL, so whatever
// the text holds reaches the mail whole.
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
  for (std::string folder : {"", "missing"}) {
    ProblemReport report = composeProblemReport(scratch.prefs, "Linux 6.1", crashes.path(folder));
    expectDataFile("app/problem-report" + (folder.empty() ? "" : "-" + folder) + ".txt",
                   "subject: " + report.subject + "\nbody:" + report.body +
                       "\nurl: " + problemReportURL(report) + "\n");
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

#pragma once

#include <string>
#include <string_view>

namespace corvela {

class CVPrefs;

// The mail that Help > Report a Problem opens in the person's mail program: a subject, and a
// body that begins with room for their own words, followed by what helps to find a fault: the
// operating system, how many entries each of the store's lists holds, and the crash reports
// the program wrote (see CrashReports.h). The person reviews it before sending; nothing is
// sent by Corvela itself.
struct ProblemReport {
  std::string subject;
  std::string body;
};

inline constexpr std::string_view kProblemReportAddress = "support@corvela.org";

// The report for `store` (the store this program runs with), `osVersion`, and the files of
// `crashFolder` whose names begin with "Corvela", in name order; of each, the part before its
// first "Thread 1::". A missing list counts 0; a missing or unreadable folder or file adds
// nothing.
ProblemReport composeProblemReport(const CVPrefs& store, std::string_view osVersion,
                                   const std::string& crashFolder);

// The mailto: URL of `report` to kProblemReportAddress, its subject and body percent-escaped
// as UTF-8 (everything but letters, digits and "-._~"), so any text survives the trip.
std::string problemReportURL(const ProblemReport& report);

// The operating system as uname names it ("Linux 6.1.0-18-amd64 #1 SMP ..."), with the
// distribution's name from /etc/os-release in front when there is one.
std::string operatingSystemVersion();

}  // namespace corvela

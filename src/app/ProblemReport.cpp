#include "app/ProblemReport.h"

#include <sys/utsname.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/CrashReports.h"
#include "prefs/CVPrefs.h"

namespace corvela {
namespace {

constexpr std::string_view kBodyStart =
    "\n\nDebugging info is included below.  You can delete it if irrelevant to your email, or "
    "review it to assure that it contains no information that you do not want sent.  It "
    "contains configuration counts, information from recent crashes (if any), and your OS "
    "version.\n\n";
constexpr std::string_view kCrashHeading =
    "\n--------------------------   Crash Report   --------------------------\n";

std::string count(const CVPrefs& store, std::string_view key) {
  const Value& list = store.objectForKey(key);
  return std::to_string(list.isArray() ? list.size() : 0);
}

std::string readWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::filesystem::path> crashReports(const std::string& folder) {
  std::vector<std::filesystem::path> reports;
  std::error_code ec;
  if (folder.empty()) return reports;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().filename().string().starts_with(kCrashReportPrefix) && it->is_regular_file(ec))
      reports.push_back(it->path());
  }
  std::sort(reports.begin(), reports.end());
  return reports;
}

std::string distributionName() {
  std::ifstream in("/etc/os-release");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.starts_with("PRETTY_NAME=")) continue;
    std::string name = line.substr(12);
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\''))
      name = name.substr(1, name.size() - 2);
    return name;
  }
  return {};
}

}  // namespace

ProblemReport composeProblemReport(const CVPrefs& store, std::string_view osVersion,
                                   const std::string& crashFolder) {
  ProblemReport report;
  report.subject = "Corvela v" CORVELA_VERSION;
  std::string& body = report.body;
  body = kBodyStart;
  body += "OS " + std::string(osVersion) + "\n\n";
  body += "Accounts: " + count(store, "Accounts") + "\n";
  body += "Categories: " + count(store, "Categories") + "\n";
  body += "Instructions: " + count(store, "Instructions") + "\n";
  body += "Input Formats: " + count(store, "Formats") + "\n";
  body += "Outout Formats " + count(store, "OutputFormats") + "\n";
  body += "Descriptions: " + count(store, "Descriptions") + "\n";
  body += "Securities: " + count(store, "Securities") + "\n";
  for (const std::filesystem::path& path : crashReports(crashFolder)) {
    std::string text = readWhole(path);
    text.resize(std::min(text.size(), text.find("Thread 1::")));
    body += kCrashHeading;
    body += text;
  }
  return report;
}

std::string problemReportURL(const ProblemReport& report) {
  auto escaped = [](std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
      bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '-' || c == '.' || c == '_' || c == '~';
      if (plain) {
        out += static_cast<char>(c);
      } else {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
      }
    }
    return out;
  };
  return "mailto:" + std::string(kProblemReportAddress) + "?subject=" + escaped(report.subject) +
         "&body=" + escaped(report.body);
}

std::string operatingSystemVersion() {
  std::string version;
  struct utsname name {};
  if (::uname(&name) == 0)
    version = std::string(name.sysname) + " " + name.release + " " + name.version;
  std::string distribution = distributionName();
  if (distribution.empty()) return version;
  return version.empty() ? distribution : distribution + " (" + version + ")";
}

}  // namespace corvela

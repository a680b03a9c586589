#include "cli/Unattended.h"

#include <algorithm>

namespace corvela::cli {

std::string terminalText(const std::string& text) {
  std::size_t start = text.find_first_not_of("\r\n");
  std::string line = start == std::string::npos ? std::string() : text.substr(start);
  std::replace(line.begin(), line.end(), '\r', '\n');
  return line;
}

int UnattendedPlatform::runAlert(const Alert& alert) {
  err_ << alert.title << ": " << terminalText(alert.text) << "\n";
  if (!alert.buttons.empty()) err_ << "  answered \"" << alert.buttons.front() << "\"\n";
  return 0;
}

CancelConfirmReply UnattendedPlatform::runCancelConfirm() {
  // The command never cancels a run; should a processor ask, the run goes on.
  return CancelConfirmReply{2, CancelRemember::askEveryTime};
}

InputErrorWarningReply UnattendedPlatform::runInputErrorWarning(const InputErrorWarning& warning) {
  ++skipped_;
  err_ << "Skipped: " << terminalText(warning.message) << "\n";
  return InputErrorWarningReply{1, false};
}

std::optional<OpenPanelChoice> UnattendedPlatform::runOpenPanel(const OpenPanel&) {
  // Appending to a file chosen at run time needs a person; the command names its output.
  return std::nullopt;
}

std::optional<std::string> UnattendedPlatform::runSavePanel(const SavePanel&) {
  return outputPath_;
}

void UnattendedPlatform::showStatus(const std::string& title, const std::string& text) {
  statuses_.push_back({title, text});
}

}  // namespace corvela::cli

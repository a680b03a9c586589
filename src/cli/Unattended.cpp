#include "cli/Unattended.h"

#include <algorithm>
#include <string_view>

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
  // The message ends where the window shows the transaction's own text; without that text the
  // line would not say which transaction was skipped.
  std::string message = terminalText(warning.message);
  message.erase(message.find_last_not_of(" \n") + 1);
  err_ << "Skipped: " << message << "\n";
  std::string text = terminalText(warning.text);
  text.erase(text.find_last_not_of(" \n") + 1);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    err_ << "    " << std::string_view(text).substr(start, end - start) << "\n";
    start = end + 1;
  }
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

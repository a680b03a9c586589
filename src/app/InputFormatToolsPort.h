#pragma once

#include <functional>
#include <string>

#include "app/ControllerPorts.h"

namespace corvela {

class Formats;
class FormatTransfer;
class Platform;

// The controller's input-format port over the store and the .cvef files. Learning a format is
// handed to `learn`, which the program sets once the learning wizard is plugged in; until then
// learnFromString says that it is not available yet. Everything is borrowed.
class InputFormatToolsPort : public InputFormatTools {
 public:
  // Starts learning a format named `name` from an input (its text and its 8-bit text).
  using Learn = std::function<void(const std::string& text, const std::string& cString,
                                   const std::string& name)>;

  InputFormatToolsPort(Formats& formats, FormatTransfer& transfer, Platform& platform)
      : formats_(formats), transfer_(transfer), platform_(platform) {}

  void setLearn(Learn learn) { learn_ = std::move(learn); }

  Status available() const override { return Status::OK(); }
  void importFile(const std::string& path) override;
  void learnFromString(const std::string& text, const std::string& cString,
                       const std::string& name) override;
  void addFormat(const Value& format) override;

 private:
  Formats& formats_;
  FormatTransfer& transfer_;
  Platform& platform_;
  Learn learn_;
};

}  // namespace corvela

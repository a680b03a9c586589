#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "prefs/Value.h"

namespace corvela {

class Platform;

// The warning about a transaction that cannot be read, shared by the readers and processors of
// a run. When the warning names the input format in use, the person can ask not to be warned
// again: the format record is then stored with `dontWarn` set and the rest of the run goes on
// without asking. The platform is borrowed and must outlive the object.
class ErrorWarning {
 public:
  enum Answer { cancel = 0, goOn = 1 };

  // Stores an input format record in the input-format store (replacing the one of the same
  // name). May be empty when no input format store is at hand; the record is then not kept.
  using AddFormat = std::function<void(const Value& format)>;

  ErrorWarning(Platform& platform, AddFormat addFormat)
      : platform_(platform), addFormat_(std::move(addFormat)) {}

  // Asks whether to go on past the unreadable transaction described by `message` and `text`.
  // `format` is the input format record in use, or none. Answers goOn at once while warnings
  // are suppressed for this run or when the format has `dontWarn`; otherwise shows the warning
  // window with `buttonTitle` on its default button and answers the button pressed. A ticked
  // "don't warn" switch (offered only with a format) stores a copy of the format with `dontWarn`
  // true and suppresses further warnings until reset().
  Answer format(const std::optional<Value>& format, std::string_view message, std::string_view text,
                std::string_view buttonTitle);

  // A new run begins: warnings are shown again.
  void reset() { suppressed_ = false; }

 private:
  Platform& platform_;
  AddFormat addFormat_;
  bool suppressed_ = false;
};

}  // namespace corvela

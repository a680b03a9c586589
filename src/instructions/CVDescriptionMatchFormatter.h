#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvela {

// The rule of a match entry field that may only shorten a given description from its end.
class CVDescriptionMatchFormatter {
 public:
  // With a text, only non-empty beginnings of it (ignoring case) are accepted; with none,
  // every edit is.
  void shortenOnly(std::optional<std::string_view> description);
  // Whether the field may show `proposed`.
  bool isPartialStringValid(std::string_view proposed) const;

 private:
  bool shortenOnly_ = false;
  std::string mustMatch_;
};

}  // namespace corvela

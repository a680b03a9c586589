#include "instructions/CVDescriptionMatchFormatter.h"

#include "lists/Completion.h"

namespace corvela {

void CVDescriptionMatchFormatter::shortenOnly(std::optional<std::string_view> description) {
  shortenOnly_ = description.has_value();
  mustMatch_ = description ? std::string(*description) : std::string();
}

bool CVDescriptionMatchFormatter::isPartialStringValid(std::string_view proposed) const {
  if (!shortenOnly_) return true;
  return !proposed.empty() && beginsWithIgnoringCase(mustMatch_, proposed);
}

}  // namespace corvela

#include "banking/CategoryWarning.h"

#include "lists/Categories.h"

namespace corvela {

std::optional<std::string> categoryWarning(std::string_view category,
                                           const Categories& categories) {
  if (category.ends_with(':')) return std::string(kCategoryEndsWithColonWarning);
  if (category.empty() || categories.contains(category)) return std::nullopt;
  return std::string(kNewCategoryWarning);
}

}  // namespace corvela

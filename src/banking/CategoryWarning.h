#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvela {

class Categories;

inline constexpr std::string_view kCategoryEndsWithColonWarning =
    "WARNING: a category cannot end with a :";
inline constexpr std::string_view kNewCategoryWarning = "NEW Category Above";

// The warning label under a category being typed in either dialog: kCategoryEndsWithColonWarning
// for a text ending with ":", none (label hidden) for "" and for a category the list holds
// exactly, kNewCategoryWarning for any other text. It only warns: nothing is refused here.
std::optional<std::string> categoryWarning(std::string_view category, const Categories& categories);

}  // namespace corvela

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

class CVPrefs;

// The few reads of the input-format list (store key `Formats`, records with `Name`, `Match`,
// `FormatType`) that the main window needs to choose and check a format. The list itself, its
// editing and the wizard belong to the input-format store.

inline constexpr std::string_view kFormatsKey = "Formats";

// The names of the stored input formats, in list order.
std::vector<std::string> inputFormatNames(const CVPrefs& store);

// The first stored input format whose Name equals `name` without regard to case, or none.
std::optional<Value> inputFormatForName(const CVPrefs& store, std::string_view name);

// The input format that fits `text`: each format whose non-empty Match occurs in the text
// (case-sensitive) is a candidate; with `firstMatch` the one whose match occurs earliest wins,
// otherwise the one with the longest match (in characters). Ties go to the earlier format.
std::optional<Value> chooseInputFormat(const CVPrefs& store, std::string_view text,
                                       bool firstMatch);

}  // namespace corvela

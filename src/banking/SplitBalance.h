#pragma once

#include <functional>
#include <string_view>

#include "prefs/Value.h"

namespace corvela {

// A split record with empty category, memo and amount.
Value emptySplit();

// Makes the amounts of the split records in `splits` (an array) add up to `total`, in exact
// decimals at `precision`: the first split takes the difference, or, with `canCreate` and a
// single split, a new empty split appended for it. Amounts are read after the European-amount
// conversion; an empty amount counts as 0. The split whose amount changed is handed to
// `normalize` (which writes it in output form). Returns whether an amount changed: splits that
// add up already, an empty list, or an amount or total that cannot be read change nothing.
// Shared by the transaction dialog and the instruction editor, so both balance alike.
bool balanceSplitAmounts(Value& splits, std::string_view total, int precision, bool canCreate,
                         const std::function<void(Value& split)>& normalize);

}  // namespace corvela

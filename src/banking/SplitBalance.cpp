#include "banking/SplitBalance.h"

#include <cstdint>
#include <optional>
#include <string>

#include "banking/DecimalAmount.h"
#include "readers/TransactionKeys.h"
#include "text/Amounts.h"

namespace corvela {

Value emptySplit() {
  return Value{{std::string(splitKey::category), ""},
               {std::string(splitKey::memo), ""},
               {std::string(splitKey::amount), ""}};
}

bool balanceSplitAmounts(Value& splits, std::string_view total, int precision, bool canCreate,
                         const std::function<void(Value& split)>& normalize) {
  if (!splits.isArray() || splits.size() == 0) return false;
  auto read = [precision](std::string_view text) {
    return readDecimalAmount(convertEuropeanAmount(text), precision);
  };
  const std::optional<std::int64_t> target = read(total);
  if (!target) return false;
  std::int64_t sum = 0;
  std::int64_t first = 0;
  for (std::size_t index = 0; index < splits.size(); ++index) {
    std::optional<std::int64_t> amount = read(str(splits[index], splitKey::amount));
    if (!amount || __builtin_add_overflow(sum, *amount, &sum)) return false;
    if (index == 0) first = *amount;
  }
  if (sum == *target) return false;

  std::size_t taker = 0;
  std::int64_t others = sum - first;
  if (canCreate && splits.size() == 1) {
    splits.append(emptySplit());
    taker = 1;
    others = sum;
  }
  std::int64_t rest = 0;
  if (__builtin_sub_overflow(*target, others, &rest)) return false;
  Value& split = splits.mutableArray()[taker];
  split.set(splitKey::amount, writeDecimalAmount(rest, precision));
  split.erase(splitKey::amountAlreadyConverted);
  if (normalize) normalize(split);
  return true;
}

}  // namespace corvela

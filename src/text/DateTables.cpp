#include "text/DateTables.h"

#include "prefs/Bundle.h"

namespace corvela {
namespace {

std::vector<std::string> strings(const Value& table, bool keepPlaces) {
  std::vector<std::string> out;
  for (const Value& entry : table.toArray()) {
    if (entry.isString())
      out.push_back(entry.toString());
    else if (keepPlaces)
      out.emplace_back();
  }
  return out;
}

}  // namespace

DateTables DateTables::fromBundle(const Bundle& bundle) {
  DateTables tables;
  tables.shortDateFormats = strings(bundle.table("CVShortDateFormats"), false);
  tables.longMonths = strings(bundle.table("CVLongMonths"), true);
  tables.afterLongMonth = strings(bundle.table("CVAfterLongMonth"), false);

  // The year-less table borrows its months by position, so both are walked together before
  // anything is dropped.
  const Value& withYear = bundle.table("CVLongDateFormats");
  const Value& withoutYear = bundle.table("CVLongDateNoYearFormats");
  for (std::size_t i = 0; i < withYear.size(); ++i) {
    const Value& entry = withYear[i];
    std::int64_t month = entry["month"].toInt();
    bool monthOK = entry["month"].isNumber() && month >= 1 && month <= 12;
    if (monthOK && entry["format"].isString())
      tables.longDateFormats.push_back({entry["format"].toString(), static_cast<int>(month)});
    if (monthOK && i < withoutYear.size() && withoutYear[i]["format"].isString())
      tables.longDateNoYearFormats.push_back(
          {withoutYear[i]["format"].toString(), static_cast<int>(month)});
  }
  return tables;
}

}  // namespace corvela

#include "app/ControlSettings.h"

#include <cmath>
#include <ctime>

#include "formats/OutputFormatKeys.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "text/CaseInsensitive.h"
#include "text/Dates.h"

namespace corvela {
namespace {


bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Reads all of `text` with the strftime `pattern`; none when the pattern does not take it all.
std::optional<std::tm> scanWhole(const std::string& text, const std::string& pattern) {
  std::tm tm{};
  const char* rest = strptime(text.c_str(), pattern.c_str(), &tm);
  if (rest == nullptr || *rest != '\0') return std::nullopt;
  return tm;
}

std::string stringOr(const CVPrefs& store, std::string_view key, std::string_view fallback) {
  const Value& value = store.objectForKey(key);
  return value.isString() && !value.toString().empty() ? value.toString() : std::string(fallback);
}

}  // namespace

// The platform's distant past (0001-01-01) and distant future (4001-01-01), in seconds since
// 2001-01-01 UTC.
Value::Date distantPastDate() { return {-63114076800.0}; }
Value::Date distantFutureDate() { return {63113904000.0}; }
bool isDistantFuture(Value::Date date) {
  // Any time zone's local reading of the distant future still falls in the year 4000 or later.
  return date.seconds >= distantFutureDate().seconds - 86400.0 * 2;
}

Value::Date dateOfDay(const CalendarDay& day) {
  std::tm tm{};
  tm.tm_year = day.year - 1900;
  tm.tm_mon = day.month - 1;
  tm.tm_mday = day.day;
  tm.tm_isdst = -1;
  std::time_t local = std::mktime(&tm);
  return {static_cast<double>(local) - Value::Date::kSecondsFrom1970};
}

CalendarDay dayOfDate(Value::Date date) {
  std::time_t time = static_cast<std::time_t>(std::floor(date.seconds + Value::Date::kSecondsFrom1970));
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::pair<CalendarDay, CalendarDay> lastMonth(const CalendarDay& today) {
  CalendarDay last = CalendarDay{today.year, today.month, 1}.plusDays(-1);
  return {{last.year, last.month, 1}, last};
}

std::optional<CalendarDay> parseDialogDate(std::string_view text, std::string_view pattern,
                                           std::string_view shortYearPattern) {
  std::string whole(trimmed(text));
  if (whole.empty()) return std::nullopt;
  std::optional<std::tm> tm = scanWhole(whole, std::string(pattern));
  if (!tm) return std::nullopt;
  CalendarDay day{tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday};
  if (day.year <= 999) {
    std::optional<std::tm> shortYear = scanWhole(whole, std::string(shortYearPattern));
    if (!shortYear) return std::nullopt;
    // strptime has a two-digit-year window of its own; the program's is completeYear's.
    day = {completeYear((shortYear->tm_year + 1900) % 100), shortYear->tm_mon + 1,
           shortYear->tm_mday};
  }
  if (!day.isValid()) return std::nullopt;
  return day;
}

std::optional<std::string> dialogDateText(std::string_view text, std::string_view pattern,
                                          std::string_view shortYearPattern,
                                          const CalendarDay& today) {
  std::string_view word = trimmed(text);
  std::optional<CalendarDay> day;
  if (equalsIgnoringCase(word, "today")) {
    day = today;
  } else if (equalsIgnoringCase(word, "yesterday")) {
    day = today.plusDays(-1);
  } else if (equalsIgnoringCase(word, "tomorrow")) {
    day = today.plusDays(1);
  } else {
    day = parseDialogDate(text, pattern, shortYearPattern);
  }
  if (!day) return std::nullopt;
  return day->format(pattern);
}

std::string outputDatePattern(const CVPrefs& store) {
  return stringOr(store, prefKey::OutputDateFormat, "%m/%d/%Y");
}

std::string outputDateShortYearPattern(const CVPrefs& store) {
  return stringOr(store, prefKey::OutputDateFormatShortYear, "%m/%d/%y");
}

Value defaultControlSettings(const CalendarDay& today) {
  Value todayDate(dateOfDay(today));
  return controlSettingsFromPairs({
      {controlSettingsKey::whichTransactions, Value(0)},
      {controlSettingsKey::dateFrom, todayDate},
      {controlSettingsKey::dateTo, todayDate},
      {controlSettingsKey::outputDate, todayDate},
      {controlSettingsKey::outputNumberString, Value("")},
      {controlSettingsKey::outputFilePath, Value("")},
      {controlSettingsKey::outputFormat, Value(kQIFFormatName)},
      {controlSettingsKey::inputQIFType, Value(0)},
  });
}

Value readControlSettings(CVPrefs& store, const CalendarDay& today) {
  const Value& stored = store.objectForKey(controllerKey::ControlSettings);
  bool complete = stored.isDictionary();
  for (std::string_view key : {controlSettingsKey::whichTransactions, controlSettingsKey::dateTo,
                               controlSettingsKey::outputDate, controlSettingsKey::outputFilePath,
                               controlSettingsKey::outputFormat, controlSettingsKey::dateFrom}) {
    complete = complete && stored.contains(key);
  }
  if (complete) return stored;
  Value settings = defaultControlSettings(today);
  store.setObject(controllerKey::ControlSettings, settings);
  return settings;
}

Value controlSettingsFromPairs(const std::vector<std::pair<std::string_view, Value>>& pairs) {
  Value settings = Value::dictionary();
  for (const auto& [key, value] : pairs) {
    if (value.isNull()) break;
    settings.set(key, value);
  }
  return settings;
}

std::pair<std::string_view, std::string_view> markOptionsForKind(int kind) {
  switch (kind) {
    case 0:
      return {option::markBankTransactionsAsCleared, option::markBankTransactionsAsUncleared};
    case 1:
      return {option::markCreditCardTransactionsAsCleared,
              option::markCreditCardTransactionsAsUncleared};
    case 2:
      return {option::markInvestmentTransactionsAsCleared,
              option::markInvestmentTransactionsAsUncleared};
    case 3:
      return {option::markUnknownTransactionsAsCleared, option::markUnknownTransactionsAsUncleared};
    default:
      return {};
  }
}

std::string requiredFileType(bool qifOutput, const Value& outputFormat) {
  if (qifOutput) return "qif";
  return str(outputFormat, outputFormatKey::Separator).starts_with(outputSeparator::Comma) ? "csv"
                                                                                           : "txt";
}

std::string suggestedOutputName(bool qifNameForced, const std::string& fileType,
                                const CalendarDay& today) {
  if (qifNameForced) return "QIF Import " + today.format("%m-%d-%Y") + ".qif";
  return "Corvela." + fileType;
}

}  // namespace corvela

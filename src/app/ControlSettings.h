#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "prefs/Value.h"
#include "text/CalendarDay.h"

namespace corvela {

class CVPrefs;

// Store keys of the controller.
namespace controllerKey {
// The dialog's settings of the last run (a dictionary with controlSettingsKey entries).
inline constexpr std::string_view ControlSettings = "ControlSettings";
// The folder of the last file opened or saved.
inline constexpr std::string_view LastRootDirectory = "LastRootDirectory";
inline constexpr std::string_view Securities = "Securities";
inline constexpr std::string_view OFXFormat = "OFXFormat";
}  // namespace controllerKey

// Keys of the ControlSettings dictionary, in the order a run writes them.
namespace controlSettingsKey {
inline constexpr std::string_view whichTransactions = "whichTransactions";  // integer tag
inline constexpr std::string_view dateFrom = "dateFrom";                    // date
inline constexpr std::string_view dateTo = "dateTo";                        // date
// A date; a text the run could not read as a date is kept as the text.
inline constexpr std::string_view outputDate = "outputDate";
inline constexpr std::string_view outputNumberString = "outputNumberString";  // string
inline constexpr std::string_view outputFilePath = "outputFilePath";          // string
inline constexpr std::string_view outputFormat = "outputFormat";              // string
inline constexpr std::string_view inputQIFType = "inputQIFType";              // integer index
}  // namespace controlSettingsKey

// --- dates as the store keeps them (instants) and as the dialog shows them (calendar days)

// The bounds of "all transactions" as stored: the platform's distant past and distant future.
Value::Date distantPastDate();
Value::Date distantFutureDate();
// Whether `date` is the distant future (or later).
bool isDistantFuture(Value::Date date);

// Midnight of `day` in the local time zone.
Value::Date dateOfDay(const CalendarDay& day);
// The local calendar day of `date`.
CalendarDay dayOfDate(Value::Date date);


// The first and last day of the calendar month before the one of `today`.
std::pair<CalendarDay, CalendarDay> lastMonth(const CalendarDay& today);

// Reads a date typed in the dialog with the strftime `pattern` (the store's OutputDateFormat).
// When the year comes out as 999 or less (a two-digit year was typed), the text is read again
// with `shortYearPattern`, whose two-digit year counts 74 to 99 as 1974 to 1999 and 00 to 73 as
// 2000 to 2073. None when the text is not a real day written that way (blanks around it are
// allowed, anything else after it is not).
std::optional<CalendarDay> parseDialogDate(std::string_view text, std::string_view pattern,
                                           std::string_view shortYearPattern);

// What a date field of the main window shows once the person has finished typing `text`: the
// day it names, written with `pattern`. The day may be typed with `pattern`, with a two-digit
// year (see parseDialogDate), or as one of the words "today", "yesterday" and "tomorrow" (in any
// case, blanks around them allowed) counted from `today`. None when the text names no day: the
// field then keeps what was typed.
std::optional<std::string> dialogDateText(std::string_view text, std::string_view pattern,
                                          std::string_view shortYearPattern,
                                          const CalendarDay& today);

// The store's OutputDateFormat, "%m/%d/%Y" when absent; OutputDateFormatShortYear, "%m/%d/%y".
std::string outputDatePattern(const CVPrefs& store);
std::string outputDateShortYearPattern(const CVPrefs& store);

// --- ControlSettings

// The settings a first run starts from: all transactions, dates and output date `today`, no
// output number and file, QIF output, the first QIF type.
Value defaultControlSettings(const CalendarDay& today);

// ControlSettings from the store. When it is absent, or lacks whichTransactions, dateTo,
// outputDate, outputFilePath, outputFormat or dateFrom, the default replaces it in the store
// (the file is not written) and is returned.
Value readControlSettings(CVPrefs& store, const CalendarDay& today);

// A ControlSettings dictionary from (key, value) pairs taken in order up to the first null
// value: so a run without dates keeps only its transactions choice.
Value controlSettingsFromPairs(const std::vector<std::pair<std::string_view, Value>>& pairs);

// --- the run

// The option names that mark every transaction of an input of `kind` (AccountKind) cleared
// and uncleared; empty names for a kind without them.
std::pair<std::string_view, std::string_view> markOptionsForKind(int kind);

// The extension an output file must have: "qif" for QIF output, "csv" for a delimited format
// whose Separator begins with "Comma", "txt" for any other.
std::string requiredFileType(bool qifOutput, const Value& outputFormat);

// The name the save panel suggests: "QIF Import MM-DD-YYYY.qif" for QIF output or a run
// without the main window, "Corvela.<fileType>" otherwise.
std::string suggestedOutputName(bool qifNameForced, const std::string& fileType,
                                const CalendarDay& today);

}  // namespace corvela

#pragma once

#include <string_view>

namespace corvela {

class CVPrefs;
class Categories;
class Descriptions;
class InputFormatTools;
class Instructions;
class OutputFormats;
class Platform;
class Preferences;

// What start-up brings up to date. All are borrowed for the call.
struct StartUpParts {
  CVPrefs& store;
  Preferences& options;
  Platform& platform;
  Categories& categories;
  Descriptions& descriptions;
  const Instructions& instructions;
  OutputFormats& outputFormats;
  InputFormatTools& inputFormats;
};

// The question asked once, while the store holds no answer (CheckForUpdates). Nothing is ever
// fetched: the package manager updates the program, and the answer only sets the option shown
// in the preferences.
inline constexpr std::string_view kUpdateQuestionTitle = "Checking For Updates";
inline constexpr std::string_view kUpdateQuestionText =
    "Would you like to automatically check for program updates?  You can change this preference "
    "in the future via the Preferences.";

// Brings the store up to date before the first input, in this order, for both front ends:
//   1. the option list (the first-run question when there is none) and the precision and
//      date-pattern defaults;
//   2. ControlSettings of older versions converted (convertOlderControlSettings);
//   3. the update question, only while CheckForUpdates is absent; the answer is stored;
//   4. the output-template defaults, and the update answer taken over as the option;
//   5. every stored input format handed once more to the input-format store, in list order,
//      so that each is stored in the store's current form;
//   6. the description list, when there is none, made from the instructions: each one's
//      descriptionMatch and newDescription and the amountDescription of each of its amounts;
//   7. the output format list with its built-in "QIF" entry.
// Questions go through the platform; nothing is written to disk here.
void startUp(const StartUpParts& parts);

// ControlSettings written by older versions kept its dates as "%m/%d/%Y" texts under
// dateFromString, dateToString and outputDateString. Each such text is read into dateFrom,
// dateTo and outputDate (midnight, local time) and removed; a text that is no date is removed
// without replacing anything, except outputDate, which keeps it as text (as a run does with a
// date it cannot read). inputQIFType 0 is added when absent. Nothing happens without a
// ControlSettings dictionary.
void convertOlderControlSettings(CVPrefs& store);

}  // namespace corvela

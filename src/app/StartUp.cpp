#include "app/StartUp.h"

#include <algorithm>
#include <vector>

#include "app/ControlSettings.h"
#include "app/ControllerPorts.h"
#include "app/InputFormatChoice.h"
#include "formats/OutputFormats.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "platform/Platform.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"

namespace corvela {
namespace {

constexpr std::string_view kOlderDatePattern = "%m/%d/%Y";

// The older text keys and the date keys they become.
struct OlderDate {
  std::string_view textKey;
  std::string_view dateKey;
  bool keepUnreadableText;
};
constexpr OlderDate kOlderDates[] = {
    {"dateFromString", controlSettingsKey::dateFrom, false},
    {"dateToString", controlSettingsKey::dateTo, false},
    {"outputDateString", controlSettingsKey::outputDate, true},
};

void askUpdateQuestion(CVPrefs& store, Platform& platform) {
  if (!store.objectForKey(prefKey::CheckForUpdates).isNull()) return;
  const Alert question{
      std::string(kUpdateQuestionTitle), std::string(kUpdateQuestionText), {"Yes", "No"}};
  store.setBool(prefKey::CheckForUpdates, platform.runAlert(question) == 0);
}

void refreshInputFormats(const CVPrefs& store, InputFormatTools& inputFormats) {
  // A copy: the store may rewrite its list while each format is added.
  const Value formats = store.objectForKey(kFormatsKey);
  for (const Value& format : formats.toArray())
    if (format.isDictionary()) inputFormats.addFormat(format);
}

void makeDescriptionList(Descriptions& descriptions, const Instructions& instructions) {
  if (descriptions.exists()) return;
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < instructions.numberOfInstructions(); ++i) {
    const Value instruction = instructions.instructionAtIndex(i);
    for (std::string_view key : {instructionKey::descriptionMatch, instructionKey::newDescription})
      if (const Value* text = instruction.find(key); text && text->isString())
        texts.push_back(text->toString());
    for (const Value& amount : instruction[instructionKey::amounts].toArray())
      if (const Value* text = amount.find(amountKey::amountDescription); text && text->isString())
        texts.push_back(text->toString());
  }
  descriptions.addDescriptions(texts);
}

}  // namespace

void convertOlderControlSettings(CVPrefs& store) {
  Value settings = store.objectForKey(controllerKey::ControlSettings);
  if (!settings.isDictionary()) return;
  for (const OlderDate& older : kOlderDates) {
    const Value* found = settings.find(older.textKey);
    if (!found) continue;
    const Value text = *found;
    std::optional<CalendarDay> day =
        text.isString() ? parseDialogDate(text.toString(), kOlderDatePattern, "%m/%d/%y")
                        : std::nullopt;
    if (day)
      settings.set(older.dateKey, Value(dateOfDay(*day)));
    else if (older.keepUnreadableText && text.isString())
      settings.set(older.dateKey, text);
    settings.erase(older.textKey);
  }
  if (!settings.contains(controlSettingsKey::inputQIFType))
    settings.set(controlSettingsKey::inputQIFType, Value(0));
  store.setObject(controllerKey::ControlSettings, std::move(settings));
}

void startUp(const StartUpParts& parts) {
  parts.options.normalizeOptionList(parts.platform,
                                    [&parts] { parts.categories.updateAccounts(); });
  convertOlderControlSettings(parts.store);
  askUpdateQuestion(parts.store, parts.platform);
  parts.options.writeOutputDefaults();
  refreshInputFormats(parts.store, parts.inputFormats);
  makeDescriptionList(parts.descriptions, parts.instructions);
  parts.outputFormats.createIfAbsent();
}

}  // namespace corvela

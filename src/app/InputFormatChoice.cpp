#include "app/InputFormatChoice.h"

#include <algorithm>

#include "formats/InputFormatKeys.h"
#include "prefs/CVPrefs.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

std::vector<std::string> inputFormatNames(const CVPrefs& store) {
  std::vector<std::string> names;
  for (const Value& format : store.objectForKey(kFormatsKey).toArray())
    names.push_back(str(format, inputFormatKey::Name));
  return names;
}

std::optional<Value> inputFormatForName(const CVPrefs& store, std::string_view name) {
  for (const Value& format : store.objectForKey(kFormatsKey).toArray()) {
    if (format.isDictionary() && equalsIgnoringCase(str(format, inputFormatKey::Name), name))
      return format;
  }
  return std::nullopt;
}

std::optional<Value> chooseInputFormat(const CVPrefs& store, std::string_view text,
                                       bool firstMatch) {
  const Value* winner = nullptr;
  std::size_t winnerPosition = 0;
  std::size_t winnerLength = 0;
  for (const Value& format : store.objectForKey(kFormatsKey).toArray()) {
    const std::string& match = str(format, inputFormatKey::Match);
    // An empty match text is found nowhere, as the platform's search finds nothing for it.
    if (match.empty()) continue;
    std::size_t position = text.find(match);
    if (position == std::string_view::npos) continue;
    std::size_t length = characterCount(match);
    bool better = !winner || (firstMatch ? position < winnerPosition : length > winnerLength);
    if (better) {
      winner = &format;
      winnerPosition = position;
      winnerLength = length;
    }
  }
  if (!winner) return std::nullopt;
  return *winner;
}

}  // namespace corvela

#include "investment/InvestmentFields.h"

#include "formats/InputFormatKeys.h"
#include "text/Amounts.h"
#include "text/Fields.h"

namespace corvela {

std::optional<std::string> InvestmentFields::fieldAt(std::string_view key) const {
  const Value* index = format_.find(key);
  if (!index || !index->isNumber() || index->toInt() < 0) return std::nullopt;
  auto at = static_cast<std::size_t>(index->toInt());
  if (at >= fields_.size()) return std::nullopt;
  return fields_[at];
}

std::string InvestmentFields::getField(std::string_view key) const {
  return fieldAt(key).value_or("");
}

std::optional<std::string> InvestmentFields::findMatch(std::string_view match, bool after) const {
  for (const std::string& field : fields_) {
    if (std::optional<std::size_t> at = matchField(field, match, after)) return field.substr(*at);
  }
  return std::nullopt;
}

std::string InvestmentFields::getFieldOrAfter(std::string_view key,
                                              std::string_view endings) const {
  std::optional<std::string> text = fieldAt(key);
  if (!text) {
    const Value* match = format_.find(std::string(key) + "After");
    if (match && match->isString()) text = findMatch(match->toString(), true);
  }
  if (!text) return "";
  std::size_t cut = text->find_first_of(endings);
  return cut == std::string::npos ? *text : text->substr(0, cut);
}

double InvestmentFields::getNumber(std::string_view name, bool after, bool before,
                                   std::string& errorText) {
  std::optional<std::string> text = fieldAt(name);
  const bool ofx = format_.contains(inputFormatKey::OFX);
  if (!text && after) {
    const Value* match = format_.find(std::string(name) + "After");
    if (match && match->isString()) text = findMatch(match->toString(), true);
    // A bank line of an investment download states its amount as TRNAMT, not TOTAL.
    if (!text && ofx && name == inputFormatKey::Amount) text = findMatch("<TRNAMT>", true);
  }
  if (!text && before) {
    const Value* match = format_.find(std::string(name) + "Before");
    if (match && match->isString()) text = findMatch(match->toString(), false);
  }
  if (!text) return 0;
  AmountReading reading = findAmount(convertEuropeanAmount(*text));
  if (reading.value == -1.0) {
    std::size_t cut = text->find_first_of("<\r\n");
    errorText = "Invalid: " + (cut == std::string::npos ? *text : text->substr(0, cut));
  }
  if (name == inputFormatKey::Amount) amountWasNegative_ = reading.negative;
  if (name == inputFormatKey::Debit) amountWasNegative_ = true;
  if (name == inputFormatKey::Credit) amountWasNegative_ = false;
  if (name == inputFormatKey::Shares) sharesWereNegative_ = reading.negative;
  return reading.value;
}

std::string InvestmentFields::getType() const {
  if (format_.contains(inputFormatKey::OFX)) {
    const Value& types = format_[inputFormatKey::Types];
    if (fields_.size() > 1 && types.isArray()) {
      for (const Value& entry : types.toArray()) {
        const std::string& ofxType = str(entry, formatMappingKey::ofxType);
        if (!ofxType.empty() && fields_[1].find(ofxType) != std::string::npos)
          return str(entry, formatMappingKey::formatType);
      }
    }
    return std::string(kUnknownOFXType);
  }
  if (std::optional<std::string> field = fieldAt(inputFormatKey::Type)) return *field;
  const Value* match = format_.find("TypeAfter");
  if (!match || !match->isString()) return "";
  std::string text = findMatch(match->toString(), true).value_or("");
  std::size_t cut = text.find_first_of("\r\n");
  return cut == std::string::npos ? text : text.substr(0, cut);
}

}  // namespace corvela

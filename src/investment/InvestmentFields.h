#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Value.h"

namespace corvela {

// The fields of one investment transaction read through an input format: each item is found
// in the field whose index the format stores under the item's key, or else by a match text
// (the key followed by "After": the text after which the value stands; for shares also
// "Before"). Keeps the signs read from the amount and the shares. `format` and `fields` are
// borrowed for the object's life.
class InvestmentFields {
 public:
  InvestmentFields(const Value& format, const std::vector<std::string>& fields)
      : format_(format), fields_(fields) {}

  // The field at the index under `key`, or "" when the format names none or the transaction
  // has fewer fields.
  std::string getField(std::string_view key) const;
  // The field under `key`, else the text after key + "After"; cut before the first character of
  // `endings`; "" when neither is found.
  std::string getFieldOrAfter(std::string_view key, std::string_view endings) const;
  // The text at the first field in which `match` is found (after it, or the word before it),
  // running to the end of that field; none when no field holds it.
  std::optional<std::string> findMatch(std::string_view match, bool after) const;
  // A non-negative number read from the field under `name` (or its After/Before text when
  // allowed): 0 when no text was found, -1.0 when the text is no number (and `errorText` is set
  // to "Invalid: " and the text). Amount, Debit, Credit and Shares set the signs.
  double getNumber(std::string_view name, bool after, bool before, std::string& errorText);
  // The statement's type text: for the OFX format the formatType of the first of its Types whose
  // ofxType occurs in field 1 ("<Unknown OFX Type>" when none); else the Type field or the text
  // after TypeAfter, up to the end of its line.
  std::string getType() const;

  bool amountWasNegative() const { return amountWasNegative_; }
  bool sharesWereNegative() const { return sharesWereNegative_; }

 private:
  std::optional<std::string> fieldAt(std::string_view key) const;

  const Value& format_;
  const std::vector<std::string>& fields_;
  bool amountWasNegative_ = false;
  bool sharesWereNegative_ = false;
};

inline constexpr std::string_view kUnknownOFXType = "<Unknown OFX Type>";

// The Types of an OFX format, made ready to be looked for in every transaction of a download:
// typeOf answers what InvestmentFields::getType does, reading the transaction's text once where
// a search for each type reads it once for each. Most types are a tag and what follows it
// ("</BUYSTOCK>", "<INCOMETYPE>DIV"): such an ofxType can only occur where a "<" of the text
// begins that very tag, so each "<" of the text is looked up once among them. Any other ofxType
// is searched for as it is.
class OFXTypes {
 public:
  explicit OFXTypes(const Value& types);

  // The formatType of the first of the types whose ofxType occurs in `text`; kUnknownOFXType
  // when none does.
  std::string typeOf(std::string_view text) const;

 private:
  struct Type {
    std::string ofxType;
    std::string formatType;
  };
  std::vector<Type> types_;  // in the format's order, those with an ofxType
  // The types that begin with a tag, by that tag ("<" up to the first ">"), in order.
  std::map<std::string, std::vector<std::size_t>, std::less<>> byTag_;
  std::vector<std::size_t> others_;  // the rest, in order
};

}  // namespace corvela

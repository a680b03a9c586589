#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "prefs/Value.h"

namespace corvela {

// The fixed QIF texts of an output: the headers written once at the start and the records of
// investment transactions. Every line ends with a line feed.

// The register header for the account kind of the input: "!Type:Bank\n" (0), "!Type:CCard\n"
// (1), "!Type:Invst\n" (2); "" for any other kind.
std::string qifTypeHeader(int kind);

// The account block used when QIF output is appended to a file of the finance software:
// "!Account", "N" + name, "T" + type, "^", "!Type:" + type, each line ended by a line feed;
// for the type "Port" the register type is "Invst".
std::string qifAccountHeader(std::string_view accountName, std::string_view accountType);

// The confirmed fields of one investment transaction, as the investment confirmation shows them.
struct InvestmentQIFFields {
  std::string date;
  std::string actionName;  // the type's `QuickenName`
  std::string description;
  std::string memo;
  std::string security;
  std::string shares;
  std::string price;
  std::string fees;
  std::string amount;
  std::string category;
  // The number line of a cash transaction: the run's fixed output number, else the number
  // field's text when that field is shown; absent otherwise.
  std::optional<std::string> number;
  // The split records (`category`, `memo`, `amount`) of a cash transaction, written in place of
  // its category when there are any.
  Value splits;
};

// An investment action record. `typeEntry` is the type's entry of the type table; its keys
// `SecurityRequired`, `SharesRequired`, `PriceAllowed`, `PriceRequired` and `AmountRequired`
// count as set when present and not false. A price whose digits are all zero is left out, the
// fees lose their first "-", and the amount is written without sign.
std::string qifInvestmentActionRecord(const InvestmentQIFFields& fields, const Value& typeEntry,
                                      bool markCleared);

// A cash transaction in the investment account: a "!InvstBnk" block that ends by switching the
// file back to investment records ("!Type:Invst"). Splits are written as "S", "E" and "$" lines.
std::string qifInvestmentCashRecord(const InvestmentQIFFields& fields, bool markCleared);

}  // namespace corvela

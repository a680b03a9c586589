#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/DateTables.h"

namespace corvela {

// How an input is recognised: OFX downloads by their tags, QIF registers by their header and
// record structure, anything else is text. Plain functions over the input's text or lines.

// Whether the text is an OFX or QFX download: it holds "OFXHEADER" (case-sensitive), or, after
// a byte-order mark, blanks and line ends, it begins with "<OFX>", possibly after an XML
// declaration ("<?xml ... ?>") and more blanks.
bool isOFX(std::string_view text);

// The account an OFX download names: the text after the first "<ACCTID>" up to the nearer of
// the first whitespace and the first "<". None when neither follows the tag; a line end right
// after the tag gives "".
std::optional<std::string> ofxAccount(std::string_view text);

// The account kind (AccountKind) of an OFX download by its statement tags, tested in this
// order: "<BANKMSGSRSV" bank, "<CREDITCARDMSGSRSV" credit card, "<INVSTMTMSGSRSV" investment.
// None for any other download.
std::optional<int> ofxStatementKind(std::string_view text);

// The account type label of a kind: "Bank", "Credit Card", "Investment", "Bank or Credit Card";
// "Unknown" for any other.
std::string_view kindLabel(int kind);

// What the lines of a QIF or text input are, from the line where the transactions begin.
struct QIFClassification {
  enum class Outcome {
    noTransactions,    // no non-empty line
    multipleAccounts,  // a second "!Account" block (not checked for a continuation)
    noTypeLine,        // an "!Account" block without a "!Type" line (likewise)
    investment,        // an investment register (refused unless continuing)
    reg,               // a bank or credit-card register
    text,              // anything else: read with an input format
  };
  Outcome outcome = Outcome::text;
  // The account kind of a register (0 bank, 1 credit card, 3 not stated; 2 for investment).
  int kind = 3;
  // Lines to remove from the front before the register's transactions: through the "!Type"
  // line when it names the kind, before it otherwise.
  std::size_t skippedLines = 0;
  // The name of the N line right after an "!Account" line at the top, when there is one.
  std::optional<std::string> account;
};

// Classifies the lines of `text` (as findLines cuts them) from line `start` on:
//  1. the first non-empty line is looked for; the record structure of QIF is seen when a later
//     line is exactly "^" or empty (the empty last line left by a final line end counts only
//     under a "!Type" or "!TYPE" header: every text that ends in a line break has one);
//  2. a first line "!Account" names the account (the next line without its first character)
//     and the register's header is the first later line beginning with "!Type" or "!TYPE";
//     otherwise the header candidate is the first line itself;
//  3. with the record structure seen, a candidate beginning with "!Type", "!TYPE", "C*" or "D"
//     makes a register: "!Type:Bank" bank, "!Type:CCard" credit card, "!Type:Invst"
//     investment, anything else (another case, no header) a register of kind 3 whose
//     candidate line stays; but a "D" line without a header makes one only when the rest of
//     the line is a date that parseQIFDate reads by `tables` (in either day order), so a CSV
//     header "Date,Description,Amount" is text;
//  4. anything else is text.
// With `continuing` (the input is a continuation file) a second account block and a missing
// "!Type" line are not refused.
QIFClassification classifyQIF(std::string_view text, std::size_t start, bool continuing,
                              const DateTables& tables);

}  // namespace corvela

#pragma once

#include <string_view>

#include "lists/SecurityKeys.h"

namespace corvela {

// Keys of an input format record: the description of one text layout (how to find each
// transaction in a text, how to cut it into fields and which field holds which item). Records
// are dictionaries stored as they are; every key is optional unless noted. Column numbers are
// 0-based field indices stored as integers.
namespace inputFormatKey {
// Identity and recognition.
inline constexpr std::string_view Name = "Name";              // string, required
inline constexpr std::string_view FormatType = "FormatType";  // "Bank", "Credit Card", "Investment"
inline constexpr std::string_view Match = "Match";            // text that identifies the input
inline constexpr std::string_view dontWarn = "dontWarn";      // bool: skip unreadable silently
inline constexpr std::string_view Warn = "Warn";              // bool: left by the format editor

// Transaction boundaries.
inline constexpr std::string_view DateDelimiter = "DateDelimiter";  // "/", "-", "." or ","
inline constexpr std::string_view DateStart = "DateStart";          // character right before a date
inline constexpr std::string_view DateEnd = "DateEnd";              // character right after a date
inline constexpr std::string_view DayBeforeMonth = "DayBeforeMonth";  // bool
// Integer: a date begins this many characters after the line break before it (1: line start).
inline constexpr std::string_view DistanceFromNewline = "DistanceFromNewline";
inline constexpr std::string_view OneTransactionPerLine = "OneTransactionPerLine";  // bool
inline constexpr std::string_view firstLineStartsWithTransactionDate =
    "firstLineStartsWithTransactionDate";                               // bool
inline constexpr std::string_view nonUScharacters = "nonUScharacters";  // bool

// Field cutting: one of the fieldRule values of text/Fields.h.
inline constexpr std::string_view Fields = "Fields";

// Field assignment, bank and credit card (column numbers unless noted).
inline constexpr std::string_view Date = "Date";
inline constexpr std::string_view Check = "Check";
inline constexpr std::string_view Description = "Description";
inline constexpr std::string_view Memo = "Memo";
inline constexpr std::string_view Category = "Category";
inline constexpr std::string_view Credit = "Credit";
inline constexpr std::string_view Debit = "Debit";
inline constexpr std::string_view DebitCredit = "Debit/Credit";
inline constexpr std::string_view Indicator = "Indicator";
inline constexpr std::string_view DebitIndicator = "DebitIndicator";    // string
inline constexpr std::string_view CreditIndicator = "CreditIndicator";  // string
inline constexpr std::string_view InvertAmount = "InvertAmount";        // bool

// Investment columns; "After"/"Before" variants (TypeAfter, SharesBefore, ...) hold texts after
// or before which the item stands.
inline constexpr std::string_view Type = "Type";
inline constexpr std::string_view Amount = "Amount";
inline constexpr std::string_view Shares = "Shares";
inline constexpr std::string_view Price = "Price";
inline constexpr std::string_view Security = "Security";
inline constexpr std::string_view Symbol = "Symbol";
inline constexpr std::string_view AssumedSecurity = "AssumedSecurity";  // string
inline constexpr std::string_view TypeMappings = "TypeMappings";        // array of dicts
inline constexpr std::string_view SecurityMappings = securityMappingKey::SecurityMappings;

// The OFX investment format.
inline constexpr std::string_view OFX = "OFX";              // present: this is the OFX format
inline constexpr std::string_view DateAfter = "DateAfter";  // tag text before an 8-digit date
inline constexpr std::string_view Types = "Types";          // array of ofxType/formatType dicts
}  // namespace inputFormatKey

// Top-level keys of the preference store that hold input formats: the sorted list of formats,
// the OFX investment format, and the mappings every format without its own takes a copy of
// (TypeMappings and SecurityMappings above, at the top level of the store).
namespace inputFormatStoreKey {
inline constexpr std::string_view Formats = "Formats";
inline constexpr std::string_view OFXFormat = "OFXFormat";
}  // namespace inputFormatStoreKey

// Keys of the dictionaries inside TypeMappings, SecurityMappings and Types.
namespace formatMappingKey {
inline constexpr std::string_view formatType = "formatType";
inline constexpr std::string_view quickenType = "quickenType";
inline constexpr std::string_view assumedSecurity = "assumedSecurity";
inline constexpr std::string_view formatName = securityMappingKey::formatName;
inline constexpr std::string_view quickenName = securityMappingKey::quickenName;
inline constexpr std::string_view ofxType = "ofxType";
}  // namespace formatMappingKey

}  // namespace corvela

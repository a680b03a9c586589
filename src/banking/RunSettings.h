#pragma once

#include <string>

namespace corvela {

// The settings of one run that the bank and credit-card processor takes from the application
// controller when the run starts. The controller fills it from the main window; the processor
// keeps a copy for the whole run. Defaults are those of a plain QIF run with nothing forced.
struct RunSettings {
  // A date given to every output transaction, in the store's OutputDateFormat; empty means each
  // transaction keeps its own date.
  std::string outputDate;
  // A number given to every output transaction; empty means each keeps its own (or the one an
  // instruction extracts from its description).
  std::string outputNumber;
  // Force the cleared mark: "*" when markAsCleared, "" (a bare "C" line) when markAsUncleared;
  // otherwise each transaction's own mark. markAsCleared wins when both are set.
  bool markAsCleared = false;
  bool markAsUncleared = false;

  // The tag of the selected entry of the QIF type pop-up: bit kQIFTypeSwapDescriptionAndMemo (1)
  // exchanges description and memo, bit kQIFTypeReverseSigns (4) reverses the amounts' signs.
  int qifTypeTag = 0;
  // The index of the selected entry of the OFX type pop-up; 1 exchanges description and memo.
  int ofxTypeIndex = 0;

  // The main window's texts, for the output and for a continuation of the run.
  // The output-format field: "QIF" (in any letter case) for QIF, else a delimited format's name.
  std::string outputFormatText = "QIF";
  bool sameDateSwitch = false;
  bool sameNumberSwitch = false;
  std::string outputDateString;
  std::string outputNumberString;
  // The account of the run: the one the input names, else the one chosen in the main window
  // (the fixed account label when the editable account field is hidden, else that field).
  std::string account;
};

}  // namespace corvela

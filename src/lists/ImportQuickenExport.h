#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvela {

class CVPrefs;
class Platform;

// Reads the account, category and security lists that finance software exports at the top of a
// QIF file, asks for each list found whether it should replace the program's own, and stores
// the accepted ones (prefKey::Accounts, Categories, Securities) whole, in file order. The store
// and the platform are borrowed and must outlive the object.
//
// Sections: "!Option:AutoSwitch" starts an account list (a second one starts it afresh) and
// "!Clear:AutoSwitch" ends the account-list mode; "!Type:Cat" and "!Type:Security" start their
// lists, and a later block of the same kind adds to the list this file began (exporters write
// one "!Type:Security" block per security); "!Type:Prices" is explained once and passed over;
// any other "!Type:" line ends the current section. Reading stops, outside an account list, at
// an "!Account" line and at the header of a register ("!Type:Bank", "Cash", "CCard", "Invst",
// "Oth A", "Oth L", letter case and trailing blanks aside) that ends a list section: what
// follows are transactions. The text after a line's one-letter code is taken as it stands.
class ImportQuickenExport {
 public:
  static constexpr std::string_view kTitle = "QIF List Import";
  static constexpr std::string_view kPricesMessage =
      "%@ contains a list of securities prices which cannot be imported.  This might be because "
      "of a bug in Quicken 2006 which, in some releases, swapped the \"Securities\" and \"Security "
      "Prices\" checkboxes in the Export dialog.  So, if you are running Quicken 2006, try "
      "exporting the Security Prices and see if Corvela accepts this file as Securities.";
  static constexpr std::string_view kAccountsQuestion =
      "%@ contains a list of ACCOUNTS.  Do you want Corvela to replace the accounts it uses with "
      "this list?";
  static constexpr std::string_view kCategoriesQuestion =
      "%@ contains a list of CATEGORIES.  Do you want Corvela to replace the categories it uses "
      "with this list?";
  static constexpr std::string_view kSecuritiesQuestion =
      "%@ contains a list of SECURITIES.  Do you want Corvela to replace the securities it uses "
      "with this list?";

  // The bits of process's answer.
  static constexpr int kAccountsReplaced = 1;
  static constexpr int kCategoriesReplaced = 2;
  static constexpr int kSecuritiesReplaced = 4;
  static constexpr int kEndedInsideList = 8;
  static constexpr int kMalformed = -1;

  ImportQuickenExport(CVPrefs& prefs, Platform& platform) : prefs_(prefs), platform_(platform) {}

  // Reads the lists at the top of `text`, line by line (as findLines cuts them); `source` names
  // the input in the messages ("File \"x.qif\"").
  //  - Malformed lists: a name line followed by another name, or a type or symbol line without
  //    a name, answers kMalformed at once, *indexPtr left as it was; a name still without its
  //    type or symbol line where reading stops answers kMalformed with *indexPtr set. Nothing
  //    is asked or stored either way.
  //  - Otherwise sets *indexPtr to the line where reading stopped (the number of lines when it
  //    read them all), then asks under kTitle, "YES" or "NO", for each list started (even an empty
  //    one) in the order accounts, categories, securities; stores each list answered "YES" and
  //    writes the store. Answers the sum of the replaced bits, plus kEndedInsideList when
  //    reading ended inside a list section.
  int process(std::string_view text, std::size_t* indexPtr, const std::string& source);

 private:
  CVPrefs& prefs_;
  Platform& platform_;
};

}  // namespace corvela

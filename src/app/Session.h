#pragma once

#include <optional>
#include <string>

#include "lists/Accounts.h"

namespace corvela {

// What the whole program shares about the input at hand. main owns the one instance and hands
// it to the controller and the processors; nothing else keeps these values.
struct Session {
  // The account kind of the current input (AccountKind): 0 bank, 1 credit card, 2 investment,
  // 3 bank or credit card (a QIF register that does not say), 4 a text input whose input
  // format is not known yet. The same codes filter the account and output-format fields.
  int gType = kNoKind;
  // The account named by the input itself (the OFX <ACCTID>, the N line of a QIF !Account
  // block), else the account field's text once a run starts; none before that.
  std::optional<std::string> account;
  // The program became active and no input has been opened since.
  bool JustActivated = false;
  // An input is loaded and its run is not finished: the menus that change stored lists are
  // disabled and clipboard watching is off.
  bool ProcessingGlobal = false;
};

}  // namespace corvela

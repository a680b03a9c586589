#pragma once

namespace corvela {

class BankingCreditCardQIF;

// How many transactions of a run the command line answered, and how.
struct NonInteractiveTally {
  // Would have opened the confirmation dialog: output as the dialog proposed them.
  int confirmedAsProposed = 0;
  // Matched no instruction (or were proposed with a category the category list refused):
  // output as they were read.
  int outputAsRead = 0;
};

// Answers every dialog the run of `processor` stops in, the way the command line does, until
// the run ends: confirmOK in the confirmation dialog, outputAsRead in the new-instruction
// dialog, and outputAsRead when the confirmation refuses its category (so that the run always
// moves on). Call it after starting or continuing the run; returns at once when no run waits.
NonInteractiveTally answerWithoutDialogs(BankingCreditCardQIF& processor);

}  // namespace corvela

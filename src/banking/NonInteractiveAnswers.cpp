#include "banking/NonInteractiveAnswers.h"

#include "banking/BankingCreditCardQIF.h"

namespace corvela {

NonInteractiveTally answerWithoutDialogs(BankingCreditCardQIF& processor) {
  using Dialog = BankingCreditCardQIF::Dialog;
  NonInteractiveTally tally;
  while (processor.running()) {
    switch (processor.openDialog()) {
      case Dialog::confirm: {
        const std::size_t index = processor.currentTransactionIndex();
        processor.confirmOK();
        const bool refused = processor.running() && processor.openDialog() == Dialog::confirm &&
                             processor.currentTransactionIndex() == index;
        if (refused) {
          processor.outputAsRead();
          ++tally.outputAsRead;
        } else {
          ++tally.confirmedAsProposed;
        }
        break;
      }
      case Dialog::newInstruction:
        processor.outputAsRead();
        ++tally.outputAsRead;
        break;
      case Dialog::none:
        // A run that waits in no dialog cannot be moved on from here.
        return tally;
    }
  }
  return tally;
}

}  // namespace corvela

#pragma once

#include <QDialog>

#include "investment/InvestmentForms.h"

class QLineEdit;

namespace corvela {
class InvestmentQIF;
}

namespace corvela::ui {

// The edit sheet over the investment confirmation window: the transaction's values as read,
// editable. OK hands the edited values to the processor, Revert asks it for the values first
// read, Cancel (and Escape) leaves the transaction as it was. The processor decides what the
// values mean; the sheet only carries them.
class InvestmentEditSheet : public QDialog {
  Q_OBJECT

 public:
  explicit InvestmentEditSheet(QWidget* parent);

  // The processor the buttons report to (borrowed; null detaches).
  void attach(InvestmentQIF* processor) { processor_ = processor; }
  // Shows `form` (the date field is read-only when the form says it cannot change).
  void showForm(const EditSheetForm& form);
  // The values in the fields, as the OK button hands them over.
  EditSheetForm values() const;

  void accept() override;
  void reject() override;

 private:
  InvestmentQIF* processor_ = nullptr;
  EditSheetForm shown_;
  QLineEdit *date_, *type_, *security_, *symbol_, *amount_, *shares_, *price_, *description_,
      *category_, *memo_, *check_;
};

}  // namespace corvela::ui

#include "ui/InvestmentEditSheet.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "investment/InvestmentQIF.h"
#include "ui/QtText.h"

namespace corvela::ui {

InvestmentEditSheet::InvestmentEditSheet(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("investmentEditSheet"));
  setWindowTitle(tr("Edit Input"));
  setWindowModality(Qt::WindowModal);
  auto* form = new QFormLayout;
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  auto add = [this, form](const QString& label, const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    field->setAccessibleName(label);
    auto* caption = new QLabel(label + QLatin1Char(':'));
    caption->setBuddy(field);
    form->addRow(caption, field);
    return field;
  };
  date_ = add(tr("Date"), "editDate");
  type_ = add(tr("Type"), "editType");
  security_ = add(tr("Security"), "editSecurity");
  symbol_ = add(tr("Symbol"), "editSymbol");
  amount_ = add(tr("Amount"), "editAmount");
  shares_ = add(tr("Shares"), "editShares");
  price_ = add(tr("Price"), "editPrice");
  description_ = add(tr("Description"), "editDescription");
  category_ = add(tr("Category"), "editCategory");
  memo_ = add(tr("Memo"), "editMemo");
  check_ = add(tr("Number"), "editCheck");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* revert = buttons->addButton(tr("Revert"), QDialogButtonBox::ResetRole);
  revert->setObjectName(QStringLiteral("editRevertButton"));
  revert->setAutoDefault(false);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("editOKButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("editCancelButton"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &InvestmentEditSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &InvestmentEditSheet::reject);
  connect(revert, &QPushButton::clicked, this, [this] {
    if (processor_) processor_->editRevert();
  });
}

void InvestmentEditSheet::showForm(const EditSheetForm& form) {
  shown_ = form;
  const std::pair<QLineEdit*, const std::string*> fields[] = {
      {date_, &form.outputDate},   {type_, &form.type},
      {security_, &form.security}, {symbol_, &form.symbol},
      {amount_, &form.amount},     {shares_, &form.shares},
      {price_, &form.price},       {description_, &form.description},
      {category_, &form.category}, {memo_, &form.memo},
      {check_, &form.check}};
  for (const auto& [field, text] : fields) field->setText(qs(*text));
  date_->setReadOnly(!form.dateEditable);
  if (!isVisible()) {
    show();
    raise();
    activateWindow();
    type_->setFocus();
  }
}

EditSheetForm InvestmentEditSheet::values() const {
  EditSheetForm values = shown_;
  values.outputDate = utf8(date_->text());
  values.type = utf8(type_->text());
  values.security = utf8(security_->text());
  values.symbol = utf8(symbol_->text());
  values.amount = utf8(amount_->text());
  values.shares = utf8(shares_->text());
  values.price = utf8(price_->text());
  values.description = utf8(description_->text());
  values.category = utf8(category_->text());
  values.memo = utf8(memo_->text());
  values.check = utf8(check_->text());
  return values;
}

void InvestmentEditSheet::accept() {
  // The processor closes the sheet (closeEditSheet) when it takes the values.
  if (processor_)
    processor_->editOK(values());
  else
    hide();
}

void InvestmentEditSheet::reject() {
  if (processor_)
    processor_->editCancel();
  else
    hide();
}

}  // namespace corvela::ui

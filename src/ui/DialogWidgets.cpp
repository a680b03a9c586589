#include "ui/DialogWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "banking/BankingCreditCardQIF.h"
#include "lists/StoredStringList.h"
#include "ui/CompletingComboBox.h"
#include "ui/CompletingLineEdit.h"
#include "ui/ElidedLabel.h"
#include "ui/QtText.h"

namespace corvela::ui {

void setFieldText(QLineEdit* field, const std::string& text) {
  QString wanted = qs(text);
  if (field->text() != wanted) field->setText(wanted);
}

void setFieldText(CompletingComboBox* field, const std::string& text) {
  if (field->text() != text) field->setText(text);
}

void showOptionalText(QLabel* label, const std::optional<std::string>& text) {
  label->setText(text ? qs(*text) : QString());
  label->setVisible(text.has_value());
}

void showText(QWidget* label, QLineEdit* field, const ShownText& text) {
  setFieldText(field, text.text);
  label->setVisible(text.shown);
  field->setVisible(text.shown);
}

void showText(QWidget* label, QLabel* field, const ShownText& text) {
  field->setText(qs(text.text));
  label->setVisible(text.shown);
  field->setVisible(text.shown);
}

QLabel* makeWarningLabel(const char* objectName) {
  auto* label = new QLabel;
  label->setObjectName(QLatin1String(objectName));
  QPalette warning = label->palette();
  warning.setColor(QPalette::WindowText, warningTextColor(warning));
  label->setPalette(warning);
  label->setWordWrap(true);
  label->setVisible(false);
  return label;
}

QLabel* makeWrappingLabel(const char* objectName) {
  auto* label = new QLabel;
  label->setObjectName(QLatin1String(objectName));
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  return label;
}

std::vector<std::string> entriesOf(const StoredStringList& list) {
  std::vector<std::string> entries;
  long count = list.numberOfItemsInComboBox();
  entries.reserve(static_cast<std::size_t>(std::max(count, 0L)));
  for (long index = 0; index < count; ++index)
    entries.push_back(list.comboBoxObjectValueForItemAtIndex(index));
  return entries;
}

CompletingComboBox* makeListComboBox(const char* objectName, QWidget* parent) {
  auto* box = new CompletingComboBox(parent);
  box->setObjectName(QLatin1String(objectName));
  box->setMaxVisibleItems(kComboBoxVisibleItems);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(22);
  return box;
}

void bindListComboBox(CompletingComboBox* box, DialogField field, StoredStringList& list,
                      const ActOnProcessor& act) {
  box->setTypingRule(
      [&list](const TextEdit& edit) { return list.isPartialStringValid(edit); },
      [act, field] {
        act([field](BankingCreditCardQIF& p) { p.controlTextDidBeginEditing(field); });
      });
  chooseOnlyFromPopUp(box);
  auto* edit = static_cast<CompletingLineEdit*>(box->lineEdit());
  QObject::connect(edit, &CompletingLineEdit::editedByPerson, box,
                   [act, field](const QString& text) {
                     act([field, text = utf8(text)](BankingCreditCardQIF& p) {
                       p.controlTextDidChange(field, text);
                     });
                   });
  QObject::connect(box, &QComboBox::activated, box, [box, act, field](int index) {
    act([field, text = utf8(box->itemText(index))](BankingCreditCardQIF& p) {
      p.comboBoxSelectionDidChange(field, text);
    });
  });
}

void chooseOnlyFromPopUp(QComboBox* box) {
  QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
}

void reloadEntries(CompletingComboBox* box, const StoredStringList& list, int visibleItems) {
  box->setEntries(entriesOf(list));
  box->setMaxVisibleItems(visibleItems);
}

RuleValidator::RuleValidator(Rule rule, QObject* parent, QString startText)
    : QValidator(parent), rule_(std::move(rule)), startText_(std::move(startText)) {}

QValidator::State RuleValidator::validate(QString& input, int&) const {
  if (input == startText_ && !startText_.isEmpty()) return Acceptable;
  return rule_(utf8(input)) ? Acceptable : Invalid;
}

DateStepper::DateStepper(QWidget* parent)
    : QWidget(parent), up_(new QToolButton), down_(new QToolButton) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_->setObjectName(QStringLiteral("dateStepperUp"));
  down_->setObjectName(QStringLiteral("dateStepperDown"));
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setToolTip(tr("One day later"));
  down_->setToolTip(tr("One day earlier"));
  for (QToolButton* button : {up_, down_}) {
    button->setFixedSize(18, 12);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(button);
  }
  connect(up_, &QToolButton::clicked, this, [this] { emit stepped(1); });
  connect(down_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

QLabel* fieldLabel(const QString& text, const char* objectName) {
  auto* label = new QLabel(text);
  if (objectName) label->setObjectName(QLatin1String(objectName));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

QLabel* valueLabel(const char* objectName) {
  // A memo or description can be hundreds of characters long; the window keeps its width.
  auto* label = new ElidedLabel;
  label->setObjectName(QLatin1String(objectName));
  return label;
}

void focusField(QWidget* widget, bool selectAll) {
  widget->setFocus(Qt::OtherFocusReason);
  QLineEdit* line = qobject_cast<QLineEdit*>(widget);
  if (auto* box = qobject_cast<QComboBox*>(widget)) line = box->lineEdit();
  if (!line) return;
  if (selectAll)
    line->selectAll();
  else
    line->end(false);
}

void layOutTransaction(QGridLayout* grid, const TransactionCells& cells) {
  grid->addWidget(fieldLabel(QObject::tr("Date:")), 0, 0);
  grid->addWidget(cells.date, 0, 1);
  grid->addWidget(cells.amountLabel, 0, 2);
  grid->addWidget(cells.amount, 0, 3);
  grid->addWidget(fieldLabel(QObject::tr("Description:")), 1, 0);
  grid->addWidget(cells.description, 1, 1);
  grid->addWidget(cells.numberLabel, 1, 2);
  grid->addWidget(cells.number, 1, 3);
  grid->addWidget(cells.memoLabel, 2, 0);
  grid->addWidget(cells.memo, 2, 1, 1, 3);
  grid->setColumnStretch(1, 1);
}

}  // namespace corvela::ui

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/Application.h"
#include "app/ControlSettings.h"
#include "ui/CompletingComboBox.h"
#include "ui/ControlView.h"
#include "ui/QtText.h"

// Drawing the controller's form on the control view, and the controls' actions.

namespace corvela::ui {
namespace {

// Shows or hides `widget`; a field of a form layout takes its row (and caption) with it.
void setShown(QWidget* widget, bool shown) {
  QWidget* parent = widget->parentWidget();
  auto* form = parent ? qobject_cast<QFormLayout*>(parent->layout()) : nullptr;
  if (form && form->indexOf(widget) >= 0) {
    form->setRowVisible(widget, shown);
    return;
  }
  widget->setVisible(shown);
}

// A text the controller fills in (the input's name, the fixed account text, ...).
void draw(QLabel* label, const Label& form) {
  if (label->text() != qs(form.text)) label->setText(qs(form.text));
  setShown(label, form.visible);
}

// A prompt or warning whose words are the window's own.
void drawShown(QLabel* label, const Label& form) { setShown(label, form.visible); }

void draw(QLineEdit* field, const TextField& form) {
  // Setting the same text again would drop the person's selection and caret.
  if (field->text() != qs(form.text)) field->setText(qs(form.text));
  field->setReadOnly(!form.editable);
  setShown(field, form.visible);
}

void draw(CompletingComboBox* box, const ComboBox& form) {
  if (box->entries() != form.items) box->setEntries(form.items);
  if (box->text() != form.text) box->setText(form.text);
  box->setMaxVisibleItems(form.numberOfVisibleItems > 0 ? form.numberOfVisibleItems : 10);
  setShown(box, form.visible);
}

void draw(QComboBox* popUp, const PopUp& form) {
  QStringList titles;
  for (const PopUpItem& item : form.items) titles << qs(item.title);
  QStringList shown;
  for (int i = 0; i < popUp->count(); ++i) shown << popUp->itemText(i);
  if (shown != titles) {
    popUp->clear();
    popUp->addItems(titles);
  }
  popUp->setCurrentIndex(form.items.empty() ? -1 : form.selectedIndex);
  setShown(popUp, form.visible);
}

void draw(QCheckBox* box, const Switch& form) {
  box->setChecked(form.on);
  box->setEnabled(form.enabled);
  setShown(box, form.visible);
}

void draw(QAbstractButton* button, const Button& form) {
  button->setEnabled(form.enabled);
  setShown(button, form.visible);
}

}  // namespace

void ControlView::showForm(const MainForm& form) {
  draw(inputFrom_, form.inputFrom);
  draw(inputAccountType_, form.inputAccountType);
  draw(inputFormatText_, form.inputFormatText);
  drawShown(extractFormatPrompt_, form.extractFormatPrompt);
  drawShown(extractFormatPrompt2_, form.extractFormatPrompt2);
  draw(qifTypePopUp_, form.qifTypePopUp);
  draw(qfxTypePopUp_, form.qfxTypePopUp);

  setShown(transactionsNormal_, form.transactionsNormal.visible);
  setShown(transactionsContinuation_, form.transactionsContinuation.visible);
  if (QAbstractButton* choice = whichTransactions_->button(form.whichTransactions))
    choice->setChecked(true);
  draw(dateFromString_, form.dateFromString);
  drawShown(toLabel_, form.toLabel);
  draw(dateToString_, form.dateToString);
  draw(invalidRangeWarning_, form.invalidRangeWarning);

  draw(quickenAccountText_, form.quickenAccountText);
  draw(quickenAccountFixed_, form.quickenAccountFixed);

  draw(outputFormatText_, form.outputFormatText);
  drawShown(outputFormatPrompt1_, form.outputFormatPrompt1);
  drawShown(outputFormatPrompt2_, form.outputFormatPrompt2);
  draw(outputFormatFixed_, form.outputFormatFixed);
  drawShown(continuationWarning_, form.continuationWarning);
  draw(outputFileName_, form.outputFileName);
  drawShown(outputFileMessage_, form.outputFileMessage);
  draw(appendSwitch_, form.appendSwitch);
  draw(appendPopUp_, form.appendPopUp);
  draw(sameDateSwitch_, form.sameDateSwitch);
  draw(outputDateString_, form.outputDateString);
  draw(sameNumberSwitch_, form.sameNumberSwitch);
  draw(outputNumberString_, form.outputNumberString);

  draw(processTheTransactionsButton_, form.processTheTransactionsButton);
  draw(inputHelp_, form.inputHelp);
  draw(accountHelp_, form.accountHelp);
  draw(transactionsHelp_, form.transactionsHelp);
  draw(outputHelp_, form.outputHelp);
  draw(continuationHelp_, form.continuationHelp);

  // form.tabOrder lists the same fields in the same order; the view's chain holds every
  // control (see setReadingTabOrder), so it is not rebuilt from the fields alone.
}

QWidget* ControlView::widget(MainControl control) const {
  switch (control) {
    case MainControl::inputFormatText:
      return inputFormatText_;
    case MainControl::quickenAccountText:
      return quickenAccountText_;
    case MainControl::dateFromString:
      return dateFromString_;
    case MainControl::dateToString:
      return dateToString_;
    case MainControl::outputFormatText:
      return outputFormatText_;
    case MainControl::outputDateString:
      return outputDateString_;
    case MainControl::outputNumberString:
      return outputNumberString_;
  }
  return nullptr;
}

void ControlView::focusControl(MainControl control) {
  QWidget* field = widget(control);
  field->setFocus(Qt::TabFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
}

void ControlView::textChanged(MainControl control, const QString& text) {
  if (app_) app_->controller.controlTextDidChange(control, utf8(text));
}

void ControlView::pressDefaultButton() {
  // A disabled button does nothing, as a default button does.
  if (processTheTransactionsButton_->isEnabled() && processTheTransactionsButton_->isVisible())
    processTheTransactionsButton_->click();
}

void ControlView::showFocusAfterAction() {
  if (!app_) return;
  if (std::optional<MainControl> control = app_->controller.state().firstResponder)
    focusControl(*control);
}

void ControlView::dateFieldFinished(MainControl control, QLineEdit* field) {
  // Leaving a field because the view was swapped out, or a run's panel opened, is no edit.
  if (!app_ || field->isReadOnly() || !field->isVisible()) return;
  std::optional<std::string> shown =
      dialogDateText(utf8(field->text()), outputDatePattern(app_->store),
                     outputDateShortYearPattern(app_->store), CalendarDay::today());
  if (shown && qs(*shown) != field->text()) {
    field->setText(qs(*shown));
    textChanged(control, field->text());
  }
  if (control == MainControl::dateFromString || control == MainControl::dateToString)
    app_->controller.checkDateRange();
}

void ControlView::connectActions() {
  auto controller = [this]() -> Controller* { return app_ ? &app_->controller : nullptr; };

  // Typing in the fields.
  const std::pair<CompletingComboBox*, MainControl> boxes[] = {
      {inputFormatText_, MainControl::inputFormatText},
      {quickenAccountText_, MainControl::quickenAccountText},
      {outputFormatText_, MainControl::outputFormatText},
  };
  for (auto [box, control] : boxes) {
    connect(box, &CompletingComboBox::textDidChange, this,
            [this, control](const QString& text) { textChanged(control, text); });
  }
  const std::pair<QLineEdit*, MainControl> fields[] = {
      {dateFromString_, MainControl::dateFromString},
      {dateToString_, MainControl::dateToString},
      {outputDateString_, MainControl::outputDateString},
      {outputNumberString_, MainControl::outputNumberString},
  };
  for (auto [field, control] : fields) {
    connect(field, &QLineEdit::textEdited, this,
            [this, control](const QString& text) { textChanged(control, text); });
  }
  for (auto [field, control] : {fields[0], fields[1], fields[2]}) {
    connect(field, &QLineEdit::editingFinished, this,
            [this, control, field] { dateFieldFinished(control, field); });
  }

  // Return: the format fields have actions of their own; the others press the default button.
  connect(inputFormatText_->lineEdit(), &QLineEdit::returnPressed, this, [controller] {
    if (Controller* c = controller()) c->learn(true);
  });
  connect(outputFormatText_->lineEdit(), &QLineEdit::returnPressed, this, [controller] {
    if (Controller* c = controller()) c->defineOutputFormat(true);
  });
  connect(quickenAccountText_->lineEdit(), &QLineEdit::returnPressed, this,
          &ControlView::pressDefaultButton);
  connect(outputDateString_, &QLineEdit::returnPressed, this, [this] {
    // The field's own end of editing comes after Return; the run must see the finished date.
    dateFieldFinished(MainControl::outputDateString, outputDateString_);
    pressDefaultButton();
  });
  connect(outputNumberString_, &QLineEdit::returnPressed, this, &ControlView::pressDefaultButton);

  // Choices.
  connect(whichTransactions_, &QButtonGroup::idClicked, this, [this, controller](int tag) {
    Controller* c = controller();
    if (!c) return;
    if (tag == kDateRange) {
      c->radioButtonDateRange();
      showFocusAfterAction();
    } else {
      c->radioButtonNotDateRange(tag);
    }
  });
  connect(continueFromLastRun_, &QPushButton::clicked, this, [this, controller] {
    if (Controller* c = controller()) c->continueFromWhereIStoppedLastTime();
    showFocusAfterAction();
  });
  connect(qifTypePopUp_, &QComboBox::activated, this, [controller](int index) {
    if (Controller* c = controller()) c->selectQIFType(index);
  });
  connect(qfxTypePopUp_, &QComboBox::activated, this, [controller](int index) {
    if (Controller* c = controller()) c->selectQFXType(index);
  });
  connect(appendPopUp_, &QComboBox::activated, this, [controller](int index) {
    if (Controller* c = controller()) c->selectAppendPopUp(index);
  });
  connect(appendSwitch_, &QCheckBox::clicked, this, [controller](bool on) {
    if (Controller* c = controller()) c->setAppendSwitch(on);
  });
  connect(sameDateSwitch_, &QCheckBox::clicked, this, [controller](bool on) {
    if (Controller* c = controller()) c->checkOutputDate(on);
  });
  connect(sameNumberSwitch_, &QCheckBox::clicked, this, [controller](bool on) {
    if (Controller* c = controller()) c->checkOutputNumber(on);
  });

  // The buttons.
  connect(processTheTransactionsButton_, &QPushButton::clicked, this, [controller] {
    if (Controller* c = controller()) c->processTheTransactions();
  });
  auto cancel = [controller] {
    if (Controller* c = controller()) c->cancel();
  };
  connect(cancel_, &QPushButton::clicked, this, cancel);
}

}  // namespace corvela::ui

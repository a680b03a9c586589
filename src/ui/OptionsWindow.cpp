#include "ui/OptionsWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace corvela::ui {

// The presenter's view of the window.
class OptionsWindow::View : public OptionsDialogView {
 public:
  explicit View(OptionsWindow& window) : window_(window) {}
  void show(const OptionsForm& form) override { window_.showForm(form); }
  OptionsForm read() const override { return window_.readForm(); }
  void close() override { window_.hide(); }

 private:
  OptionsWindow& window_;
};

namespace {

using F = OptionsForm;

QVBoxLayout* pageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setAlignment(Qt::AlignTop);
  return layout;
}

QLabel* note(const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  label->setContentsMargins(22, 0, 0, 4);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 0.9);
  label->setFont(font);
  return label;
}

// A control set in under the one it depends on.
QHBoxLayout* indented(QWidget* widget) {
  auto* row = new QHBoxLayout;
  row->addSpacing(22);
  row->addWidget(widget, 1);
  return row;
}

QRadioButton* addRadio(QButtonGroup* group, QVBoxLayout* layout, int id, const QString& label) {
  auto* radio = new QRadioButton(label);
  radio->setObjectName(QStringLiteral("%1_%2").arg(group->objectName()).arg(id));
  group->addButton(radio, id);
  layout->addWidget(radio);
  return radio;
}

QStringList clearedStatusItems() {
  return {QObject::tr("Leave as they are"), QObject::tr("Mark as cleared"),
          QObject::tr("Mark as uncleared")};
}

QStringList precisionItems() {
  QStringList items;
  for (int i = 0; i < kPrecisionItemCount; ++i)
    items << QObject::tr("%n decimal places", nullptr, i + 2);
  return items;
}

}  // namespace

OptionsWindow::OptionsWindow(QWidget* parent)
    : QDialog(parent),
      view_(std::make_unique<View>(*this)),
      pages_(new QTabWidget),
      categoryRadioButtons_(new QButtonGroup(this)),
      cancelRadioButtons_(new QButtonGroup(this)),
      showAllAccountNamesHelp_(nullptr),
      descriptionOutput_(new QLineEdit),
      memoOutput_(new QLineEdit) {
  setWindowTitle(qs(OptionsDialog::kTitle));
  setModal(false);
  categoryRadioButtons_->setObjectName(QStringLiteral("categoryRadioButtons"));
  cancelRadioButtons_->setObjectName(QStringLiteral("cancelRadioButtons"));
  descriptionOutput_->setObjectName(QStringLiteral("descriptionOutput"));
  memoOutput_->setObjectName(QStringLiteral("memoOutput"));

  pages_->tabBar()->setAccessibleName(tr("Preference pages"));
  pages_->addTab(inputPage(), tr("Input"));
  pages_->addTab(categoriesPage(), tr("Categories"));
  pages_->addTab(outputPage(), tr("Output"));
  pages_->addTab(datesPage(), tr("Dates && Amounts"));
  pages_->addTab(investmentsPage(), tr("Investments"));
  pages_->addTab(generalPage(), tr("General"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                       QDialogButtonBox::Help);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("help"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  // Plain text buttons, as on most desktops, whatever the style would add.
  for (QAbstractButton* button : buttons->buttons()) button->setIcon(QIcon());
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (presenter_) presenter_->ok();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &OptionsWindow::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, &OptionsWindow::helpRequested);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(buttons);
}

OptionsWindow::~OptionsWindow() = default;

OptionsDialogView& OptionsWindow::view() { return *view_; }

void OptionsWindow::reject() {
  if (presenter_)
    presenter_->cancel();
  else
    hide();
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
  // Closed from the title bar or by quitting: the presenter must still hear of it, or the menus
  // it disabled would stay disabled. The window closes either way, so quitting is not held up.
  if (presenter_ && isVisible()) presenter_->cancel();
  event->accept();
}

QCheckBox* OptionsWindow::addCheckbox(OptionSwitch OptionsForm::*field, const char* name,
                                      const QString& label) {
  auto* box = new QCheckBox(label);
  box->setObjectName(QLatin1String(name));
  checkboxes_.emplace_back(field, box);
  return box;
}

QComboBox* OptionsWindow::addPopUp(int OptionsForm::*field, const char* name,
                                   const QStringList& items) {
  auto* popUp = new QComboBox;
  popUp->setObjectName(QLatin1String(name));
  popUp->addItems(items);
  popUps_.emplace_back(field, popUp);
  return popUp;
}

QWidget* OptionsWindow::inputPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = pageLayout(page);
  layout->addWidget(addCheckbox(&F::qifConfirmAllTransactions, "qifConfirmAllTransactions",
                                tr("Confirm every transaction read from QIF or OFX files")));
  layout->addWidget(addCheckbox(&F::textConfirmAllTransactions, "textConfirmAllTransactions",
                                tr("Confirm every transaction read from text or the clipboard")));
  layout->addWidget(addCheckbox(&F::runAutomatically, "runAutomatically",
                                tr("Process an opened file at once when nothing needs setting")));
  layout->addWidget(note(tr("Not while appending: then the main window always asks.")));
  QCheckBox* europeanDates =
      addCheckbox(&F::europeanDates, "europeanDates",
                  tr("QIF files write their dates day before month (31/12/2009)"));
  connect(europeanDates, &QCheckBox::clicked, this, [this] {
    if (presenter_) presenter_->europeanDates();
  });
  layout->addWidget(europeanDates);
  layout->addWidget(addCheckbox(&F::useOFXTRNTYPE, "useOFXTRNTYPE",
                                tr("Sign OFX amounts by their transaction type")));
  layout->addWidget(
      note(tr("A DEBIT becomes negative; a transaction without a type is "
              "refused.")));
  layout->addWidget(addCheckbox(&F::formatFirstMatch, "formatFirstMatch",
                                tr("Choose the input format whose match text comes first")));
  layout->addWidget(
      note(tr("Otherwise the input format with the longest match text found in "
              "the text is chosen.")));
  return page;
}

QWidget* OptionsWindow::categoriesPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = pageLayout(page);

  auto* group = new QGroupBox(tr("Categories come from"));
  auto* radios = new QVBoxLayout(group);
  addRadio(categoryRadioButtons_, radios, 0, tr("My instructions"));
  addRadio(categoryRadioButtons_, radios, 1,
           tr("My instructions for the category a transaction carries"));
  addRadio(categoryRadioButtons_, radios, 2,
           tr("A transaction's own category when it has one, else my instructions"));
  addRadio(categoryRadioButtons_, radios, 3,
           tr("A transaction's own category only (plain conversion)"));
  connect(categoryRadioButtons_, &QButtonGroup::idClicked, this, [this] {
    if (presenter_) presenter_->categoriesRadioChanged();
  });
  radios->addWidget(
      addCheckbox(&F::updateCategoryWhenDescriptionChanged, "updateCategoryWhenDescriptionChanged",
                  tr("Changing a description while confirming also changes the category")));
  layout->addWidget(group);

  auto* matchRow = new QFormLayout;
  matchRow->addRow(tr("Match instructions against:"),
                   addPopUp(&F::descriptionMemoMatchPopup, "descriptionMemoMatchPopup",
                            {tr("Description only"), tr("Description, then memo"),
                             tr("Memo, then description")}));
  layout->addLayout(matchRow);
  layout->addWidget(addCheckbox(&F::longestMatch, "longestMatch",
                                tr("When several instructions match, use the longest match")));
  layout->addWidget(
      addCheckbox(&F::matchDescriptionWithContains, "matchDescriptionWithContains",
                  tr("Instructions may match anywhere in a description, not only at its start")));
  layout->addWidget(addCheckbox(&F::treatMemoAsDescription, "treatMemoAsDescription",
                                tr("Use the memo as description when the description is empty")));
  layout->addWidget(addCheckbox(&F::leaveBlankDescriptionsBlank, "leaveBlankDescriptionsBlank",
                                tr("Leave empty descriptions empty (not \"NO DESCRIPTION\")")));
  layout->addWidget(addCheckbox(&F::initialCaps, "initialCaps",
                                tr("Capitalise Every Word of descriptions and memos")));
  return page;
}

QWidget* OptionsWindow::outputPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = pageLayout(page);
  QCheckBox* append =
      addCheckbox(&F::append, "append", tr("Append QIF output to an existing file"));
  connect(append, &QCheckBox::clicked, this, [this] {
    if (presenter_) presenter_->append();
  });
  layout->addWidget(append);
  QCheckBox* showAll = addCheckbox(&F::showAllAccountNames, "showAllAccountNames",
                                   tr("Offer every account name, not only those of the input's "
                                      "kind"));
  layout->addLayout(indented(showAll));
  showAllAccountNamesHelp_ =
      note(tr("When appending, the account list of the main window can "
              "offer all your accounts."));
  showAllAccountNamesHelp_->setObjectName(QStringLiteral("showAllAccountNamesHelp"));
  showAllAccountNamesHelp_->setContentsMargins(44, 0, 0, 4);
  layout->addWidget(showAllAccountNamesHelp_);

  auto* cleared = new QGroupBox(tr("Cleared status written"));
  auto* form = new QFormLayout(cleared);
  form->addRow(tr("Bank transactions:"),
               addPopUp(&F::clearedStatusBankTransactions, "clearedStatusBankTransactions",
                        clearedStatusItems()));
  form->addRow(tr("Credit card transactions:"),
               addPopUp(&F::clearedStatusCreditCardTransactions,
                        "clearedStatusCreditCardTransactions", clearedStatusItems()));
  form->addRow(tr("Investment transactions:"),
               addPopUp(&F::clearedStatusInvestmentTransactions,
                        "clearedStatusInvestmentTransactions", clearedStatusItems()));
  form->addRow(tr("Transactions of unknown kind:"),
               addPopUp(&F::clearedStatusUnknownTransactions, "clearedStatusUnknownTransactions",
                        clearedStatusItems()));
  layout->addWidget(cleared);

  auto* templates = new QGroupBox(tr("Written as"));
  auto* templateForm = new QFormLayout(templates);
  templateForm->addRow(tr("Description:"), descriptionOutput_);
  templateForm->addRow(tr("Memo:"), memoOutput_);
  templateForm->addRow(
      note(tr("%d stands for the transaction's description and %m for its "
              "memo; any other text is written as it stands.")));
  layout->addWidget(templates);
  layout->addWidget(addCheckbox(&F::removeLongNumber, "removeLongNumber",
                                tr("Leave out check numbers of 6 or more characters")));
  return page;
}

QWidget* OptionsWindow::datesPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = pageLayout(page);
  QCheckBox* europeanDates =
      addCheckbox(&F::secondQIFEuropeanDates, "secondQIFEuropeanDates",
                  tr("QIF files write their dates day before month (31/12/2009)"));
  connect(europeanDates, &QCheckBox::clicked, this, [this] {
    if (presenter_) presenter_->secondQIFEuropeanDates();
  });
  layout->addWidget(europeanDates);
  layout->addWidget(addCheckbox(&F::outputEuropeanDates, "outputEuropeanDates",
                                tr("Write output dates day before month")));
  layout->addWidget(addCheckbox(&F::outputDashDates, "outputDashDates",
                                tr("Write QIF dates with dashes (12-31-2009)")));
  layout->addWidget(addCheckbox(&F::outputEuropeanAmounts, "outputEuropeanAmounts",
                                tr("Write output amounts with a decimal comma (1234,56)")));
  auto* form = new QFormLayout;
  form->addRow(tr("Bank and credit card amounts:"),
               addPopUp(&F::bccAmountsPrecision, "bccAmountsPrecision", precisionItems()));
  layout->addLayout(form);
  return page;
}

QWidget* OptionsWindow::investmentsPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = pageLayout(page);
  layout->addWidget(addCheckbox(&F::quicken2003, "quicken2003",
                                tr("Use the investment types and cash transactions that need "
                                   "Quicken 2003 or later")));
  auto* form = new QFormLayout;
  form->addRow(tr("Amounts:"),
               addPopUp(&F::amountsPrecision, "amountsPrecision", precisionItems()));
  form->addRow(tr("Share quantities:"),
               addPopUp(&F::sharesPrecision, "sharesPrecision", precisionItems()));
  form->addRow(tr("Prices:"), addPopUp(&F::pricesPrecision, "pricesPrecision", precisionItems()));
  layout->addLayout(form);
  return page;
}

QWidget* OptionsWindow::generalPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = pageLayout(page);
  auto* group = new QGroupBox(tr("Cancelling a run"));
  auto* radios = new QVBoxLayout(group);
  addRadio(cancelRadioButtons_, radios, 0, tr("Stops at once and outputs nothing"));
  addRadio(cancelRadioButtons_, radios, 1, tr("Saves a continuation file to finish the run later"));
  addRadio(cancelRadioButtons_, radios, 2, tr("Asks each time"));
  layout->addWidget(group);
  layout->addWidget(
      addCheckbox(&F::checkForUpdates, "checkForUpdates", tr("Check for program updates")));
  return page;
}

void OptionsWindow::showForm(const OptionsForm& form) {
  setWindowTitle(qs(form.title));
  for (auto [field, box] : checkboxes_) {
    box->setChecked((form.*field).on);
    box->setEnabled((form.*field).enabled);
  }
  for (auto [field, popUp] : popUps_) popUp->setCurrentIndex(form.*field);
  if (QAbstractButton* radio = categoryRadioButtons_->button(form.categoryRadioButtons))
    radio->setChecked(true);
  if (QAbstractButton* radio = cancelRadioButtons_->button(form.cancelRadioButtons))
    radio->setChecked(true);
  showAllAccountNamesHelp_->setEnabled(form.showAllAccountNamesHelpEnabled);
  if (descriptionOutput_->text() != qs(form.descriptionOutput))
    descriptionOutput_->setText(qs(form.descriptionOutput));
  if (memoOutput_->text() != qs(form.memoOutput)) memoOutput_->setText(qs(form.memoOutput));
  if (!isVisible()) {
    pages_->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
  }
}

OptionsForm OptionsWindow::readForm() const {
  OptionsForm form;
  form.title = utf8(windowTitle());
  for (auto [field, box] : checkboxes_) form.*field = {box->isChecked(), box->isEnabled()};
  for (auto [field, popUp] : popUps_) form.*field = popUp->currentIndex();
  form.categoryRadioButtons = categoryRadioButtons_->checkedId();
  form.cancelRadioButtons = cancelRadioButtons_->checkedId();
  form.showAllAccountNamesHelpEnabled = showAllAccountNamesHelp_->isEnabled();
  form.descriptionOutput = utf8(descriptionOutput_->text());
  form.memoOutput = utf8(memoOutput_->text());
  return form;
}

}  // namespace corvela::ui

#include "ui/WizardPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "inputformats/InputFormatWizard.h"
#include "ui/QtText.h"
#include "ui/WizardTableModel.h"

namespace corvela::ui {
namespace {

// Cells open as read-only line edits, so a piece of a cell's text can be selected.
class SelectableCellDelegate : public QStyledItemDelegate {
 public:
  SelectableCellDelegate(QObject* parent, std::function<void(const QString&)> selected)
      : QStyledItemDelegate(parent), selected_(std::move(selected)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* editor = new QLineEdit(parent);
    editor->setReadOnly(true);
    editor->setObjectName(QStringLiteral("cellEditor"));
    QObject::connect(editor, &QLineEdit::selectionChanged, editor,
                     [this, editor] { selected_(editor->selectedText()); });
    return editor;
  }
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

 private:
  std::function<void(const QString&)> selected_;
};

QTableView* makeTable(WizardTableModel* model) {
  auto* table = new QTableView;
  table->setModel(model);
  table->setSelectionBehavior(QAbstractItemView::SelectColumns);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::DoubleClicked);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table->horizontalHeader()->setStretchLastSection(true);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
}

QLabel* wrapped(const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// Columns as wide as their text, so the preview reads column by column, but none so wide that
// the others leave the window.
void fitColumns(QTableView* table) {
  table->resizeColumnsToContents();
  for (int c = 0; c < table->model()->columnCount(); ++c) {
    table->setColumnWidth(c, std::clamp(table->columnWidth(c), 60, 260));
  }
}

}  // namespace

WizardPane::WizardPane(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("wizardPane"));
  pages_ = new QStackedWidget;
  pages_->addWidget(buildDatePage());
  pages_->addWidget(buildColumnsPage());
  pages_->addWidget(buildQuestionPage());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);
}

WizardPane::~WizardPane() = default;

QPushButton* WizardPane::okButton(int page) const { return ok_[std::clamp(page, 1, 3) - 1]; }

int WizardPane::currentPage() const { return pages_->currentIndex() + 1; }

namespace {

// Page buttons: Cancel and the default OK, right-aligned; extra buttons go before them.
QHBoxLayout* buttonRow(QWidget* owner, QPushButton*& ok, std::initializer_list<QPushButton*> extra,
                       std::function<void()> cancel, std::function<void()> confirm) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : extra) row->addWidget(button);
  auto* cancelButton = new QPushButton(QObject::tr("Cancel"));
  cancelButton->setObjectName(QStringLiteral("wizardCancel"));
  ok = new QPushButton(QObject::tr("OK"));
  ok->setDefault(true);
  QObject::connect(cancelButton, &QPushButton::clicked, owner, cancel);
  QObject::connect(ok, &QPushButton::clicked, owner, confirm);
  row->addWidget(cancelButton);
  row->addWidget(ok);
  return row;
}

}  // namespace

QWidget* WizardPane::buildDatePage() {
  auto* page = new QWidget;
  intro_ = wrapped({});
  dateView_ = new QPlainTextEdit;
  dateView_->setObjectName(QStringLiteral("dateText"));
  matchView_ = new QPlainTextEdit;
  matchView_->setObjectName(QStringLiteral("matchText"));
  for (QPlainTextEdit* view : {dateView_, matchView_}) {
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(view, &QPlainTextEdit::selectionChanged, this, [this, view] { reportSelection(view); });
  }
  dateView_->installEventFilter(this);
  kind_ = new QComboBox;
  kind_->setObjectName(QStringLiteral("type"));
  kind_->setAccessibleName(tr("Kind of statement"));
  connect(kind_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (wizard_ && !drawing_) wizard_->chooseKind(index);
  });
  europeanDates_ = new QCheckBox(tr("Dates are written day before month (31/12/2024)"));
  europeanDates_->setObjectName(QStringLiteral("europeanDatesSwitch"));
  connect(europeanDates_, &QCheckBox::toggled, this, [this](bool on) {
    if (wizard_ && !drawing_) wizard_->setEuropeanDates(on);
  });
  firstLine_ = new QCheckBox(tr("The text begins with the date of its first transaction"));
  firstLine_->setObjectName(QStringLiteral("firstLineStartsWithTransactionDateSwitch"));
  connect(firstLine_, &QCheckBox::toggled, this, [this](bool on) {
    if (wizard_ && !drawing_) wizard_->setFirstLineStartsWithTransactionDate(on);
  });

  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(new QLabel(tr("These transactions come from an account of this kind:")));
  kindRow->addWidget(kind_);
  kindRow->addStretch();

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(intro_);
  layout->addWidget(
      wrapped(tr("1. Select the date of one transaction, just the date, without "
                 "the blanks around it (not the very first one of the text):")));
  layout->addWidget(dateView_, 3);
  layout->addWidget(
      wrapped(tr("2. Select a few words that every statement of this kind "
                 "contains, such as the name of the bank or a column title:")));
  layout->addWidget(matchView_, 2);
  layout->addLayout(kindRow);
  layout->addWidget(europeanDates_);
  layout->addWidget(firstLine_);
  layout->addLayout(buttonRow(
      this, ok_[0], {},
      [this] {
        if (wizard_) wizard_->cancel();
      },
      [this] {
        if (wizard_) wizard_->ok1();
      }));
  return page;
}

QWidget* WizardPane::buildColumnsPage() {
  auto* page = new QWidget;
  separator_ = new QComboBox;
  separator_->setObjectName(QStringLiteral("separatorChoice"));
  separator_->setAccessibleName(tr("How the columns are separated"));
  oneTransactionPerLine_ = new QCheckBox(tr("Each line is one transaction"));
  oneTransactionPerLine_->setObjectName(QStringLiteral("oneTransactionPerLineSwitch"));
  nonUScharacters_ =
      new QCheckBox(tr("Columns may begin with accented or other non-English letters"));
  nonUScharacters_->setObjectName(QStringLiteral("nonUScharactersSwitch"));
  connect(separator_, &QComboBox::currentIndexChanged, this, [this] { reportSeparators(); });
  connect(oneTransactionPerLine_, &QCheckBox::toggled, this, [this] { reportSeparators(); });
  connect(nonUScharacters_, &QCheckBox::toggled, this, [this] { reportSeparators(); });
  previewModel_ = new WizardTableModel(this);
  preview_ = makeTable(previewModel_);
  preview_->setObjectName(QStringLiteral("previewTable"));
  preview_->setAccessibleName(tr("Transactions cut into columns"));
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);

  auto* choiceRow = new QHBoxLayout;
  choiceRow->addWidget(new QLabel(tr("Columns are separated by:")));
  choiceRow->addWidget(separator_);
  choiceRow->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      wrapped(tr("Choose how the columns of each transaction are separated, until "
                 "each item (date, description, amount) stands in a column of "
                 "its own. Corvela has chosen what seems to fit best.")));
  layout->addLayout(choiceRow);
  layout->addWidget(oneTransactionPerLine_);
  layout->addWidget(nonUScharacters_);
  layout->addWidget(preview_, 1);
  layout->addLayout(buttonRow(
      this, ok_[1], {},
      [this] {
        if (wizard_) wizard_->cancel();
      },
      [this] {
        if (wizard_) wizard_->ok2();
      }));
  return page;
}

QWidget* WizardPane::buildQuestionPage() {
  auto* page = new QWidget;
  prompt_ = wrapped({});
  prompt_->setObjectName(QStringLiteral("prompt"));
  QFont larger = prompt_->font();
  larger.setPointSizeF(larger.pointSizeF() * 1.15);
  prompt_->setFont(larger);
  hint_ = wrapped(tr("The selected column seems to fit: press OK, or click another column."));
  hint_->setObjectName(QStringLiteral("preselectionHint"));
  questionModel_ = new WizardTableModel(this);
  questions_ = makeTable(questionModel_);
  questions_->setObjectName(QStringLiteral("table3"));
  questions_->setAccessibleName(tr("Transactions: click the column that answers the question"));
  questions_->setItemDelegate(new SelectableCellDelegate(questions_, [this](const QString& text) {
    if (wizard_) wizard_->selectCellText(utf8(text));
  }));
  connect(questions_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    if (wizard_ && index.isValid()) wizard_->selectColumn(index.column());
  });
  connect(questions_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (wizard_) wizard_->selectColumn(column);
  });
  assumedSecurityLabel_ = new QLabel(tr("Stock or fund:"));
  assumedSecurity_ = new QComboBox;
  assumedSecurity_->setObjectName(QStringLiteral("assumedSecurity"));
  assumedSecurityLabel_->setBuddy(assumedSecurity_);
  assumedSecurity_->setEditable(true);
  assumedSecurity_->setMinimumWidth(240);
  connect(assumedSecurity_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    if (wizard_ && !drawing_) wizard_->setAssumedSecurity(utf8(text));
  });
  yes_ = new QPushButton(tr("Yes"));
  yes_->setObjectName(QStringLiteral("yes"));
  no_ = new QPushButton(tr("No"));
  no_->setObjectName(QStringLiteral("no"));
  connect(yes_, &QPushButton::clicked, this, [this] {
    if (wizard_) wizard_->yes();
  });
  connect(no_, &QPushButton::clicked, this, [this] {
    if (wizard_) wizard_->no();
  });

  auto* securityRow = new QHBoxLayout;
  securityRow->addWidget(assumedSecurityLabel_);
  securityRow->addWidget(assumedSecurity_);
  securityRow->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(prompt_);
  layout->addWidget(hint_);
  layout->addLayout(securityRow);
  layout->addWidget(questions_, 1);
  layout->addLayout(buttonRow(
      this, ok_[2], {yes_, no_},
      [this] {
        if (wizard_) wizard_->cancel();
      },
      [this] {
        if (wizard_) wizard_->ok3();
      }));
  return page;
}

void WizardPane::setViewText(QPlainTextEdit* view, const std::string& text,
                             std::vector<std::size_t>& bytes) {
  // Line ends of any kind show as one break; the map leads each shown position back to its
  // byte, so a selection reaches the wizard in the text's own offsets.
  QString shown;
  bytes.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      bytes.push_back(i);
      shown += QChar('\n');
      i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    std::size_t end = i + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    QString character = qs(std::string_view(text).substr(i, end - i));
    for (int u = 0; u < character.size(); ++u) bytes.push_back(i);
    shown += character;
    i = end;
  }
  bytes.push_back(text.size());
  view->setPlainText(shown);
}

void WizardPane::reportSelection(QPlainTextEdit* view) {
  if (!wizard_ || drawing_) return;
  const std::vector<std::size_t>& bytes = view == dateView_ ? dateBytes_ : matchBytes_;
  QTextCursor cursor = view->textCursor();
  auto at = [&](int position) {
    return bytes[static_cast<std::size_t>(
        std::clamp<int>(position, 0, static_cast<int>(bytes.size()) - 1))];
  };
  std::size_t start = at(cursor.selectionStart());
  std::size_t end = at(cursor.selectionEnd());
  TextSpan span{start, end - start};
  if (view == dateView_) {
    wizard_->selectDate(span);
  } else {
    wizard_->selectMatch(span);
  }
}

void WizardPane::selectBytes(QPlainTextEdit* view, std::size_t start, std::size_t length) {
  const std::vector<std::size_t>& bytes = view == dateView_ ? dateBytes_ : matchBytes_;
  auto position = [&](std::size_t byte) {
    return static_cast<int>(std::lower_bound(bytes.begin(), bytes.end(), byte) - bytes.begin());
  };
  QTextCursor cursor = view->textCursor();
  cursor.setPosition(position(start));
  cursor.setPosition(position(start + length), QTextCursor::KeepAnchor);
  view->setTextCursor(cursor);
}

void WizardPane::reportSeparators() {
  if (!wizard_ || drawing_) return;
  wizard_->parseFields(separator_->currentIndex(), oneTransactionPerLine_->isChecked(),
                       nonUScharacters_->isChecked());
}

bool WizardPane::eventFilter(QObject* watched, QEvent* event) {
  // Return in the date text confirms the first page.
  if (watched == dateView_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && wizard_) {
      wizard_->ok1();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void WizardPane::show(const WizardForm& form) {
  if (form.page < 1 || form.page > 3) return;
  drawing_ = true;
  const bool newPage = pages_->currentIndex() != form.page - 1 || !isVisible();
  switch (form.page) {
    case 1:
      intro_->setText(qs(form.intro));
      if (dateShown_ != form.dateText) {
        dateShown_ = form.dateText;
        setViewText(dateView_, form.dateText, dateBytes_);
      }
      if (matchShown_ != form.matchText) {
        matchShown_ = form.matchText;
        setViewText(matchView_, form.matchText, matchBytes_);
      }
      kind_->clear();
      for (const std::string& kind : form.kinds) kind_->addItem(qs(kind));
      kind_->setCurrentIndex(form.kind);
      europeanDates_->setChecked(form.europeanDates);
      firstLine_->setChecked(form.firstLineStartsWithTransactionDate);
      break;
    case 2:
      if (separator_->count() != static_cast<int>(form.separators.size())) {
        separator_->clear();
        for (const std::string& title : form.separators) separator_->addItem(qs(title));
      }
      separator_->setCurrentIndex(form.separatorTag);
      oneTransactionPerLine_->setChecked(form.oneTransactionPerLine);
      nonUScharacters_->setChecked(form.nonUScharacters);
      previewModel_->setTable(form.preview);
      fitColumns(preview_);
      preview_->selectRow(form.preview.selectedRow);
      break;
    case 3: {
      prompt_->setText(qs(form.prompt));
      hint_->setVisible(form.expectingColumnSelection && form.questions.selectedColumn &&
                        form.okShown);
      questionModel_->setTable(form.questions);
      if (newPage) fitColumns(questions_);
      questions_->clearSelection();
      if (form.questions.selectedColumn) questions_->selectColumn(*form.questions.selectedColumn);
      yes_->setVisible(form.yesNoShown);
      no_->setVisible(form.yesNoShown);
      ok_[2]->setVisible(form.okShown);
      ok_[2]->setEnabled(form.okEnabled);
      assumedSecurityLabel_->setVisible(form.assumedSecurityShown);
      assumedSecurity_->setVisible(form.assumedSecurityShown);
      if (form.assumedSecurityShown) {
        assumedSecurity_->clear();
        for (const std::string& name : form.securities) assumedSecurity_->addItem(qs(name));
        assumedSecurity_->setCurrentText(qs(form.assumedSecurity));
        assumedSecurity_->setFocus();
      }
      break;
    }
  }
  pages_->setCurrentIndex(form.page - 1);
  drawing_ = false;
  if (newPage) emit shown(qs(form.title));
}

}  // namespace corvela::ui

#include "ui/InputErrorWarningWindow.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace corvela::ui {
namespace {

constexpr int kCancel = 0;
constexpr int kGoOn = 1;

}  // namespace

InputErrorWarningWindow::InputErrorWarningWindow(const InputErrorWarning& warning, QWidget* parent)
    : QDialog(parent),
      message_(new QLabel(displayText(warning.message))),
      text_(new QPlainTextEdit(displayText(warning.text))),
      dontWarn_(new QCheckBox(tr("Don't warn again about transactions this input format "
                                 "cannot read"))),
      cancel_(new QPushButton(tr("Cancel"))),
      goOn_(new QPushButton(warning.buttonTitle.empty() ? tr("Skip Transaction")
                                                        : qs(warning.buttonTitle))) {
  setWindowTitle(tr("Input Error"));
  setModal(true);

  message_->setWordWrap(true);
  message_->setTextFormat(Qt::PlainText);
  text_->setReadOnly(true);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  dontWarn_->setChecked(false);
  dontWarn_->setVisible(warning.showDontWarnSwitch);

  goOn_->setDefault(true);
  connect(goOn_, &QPushButton::clicked, this, [this] { answer(kGoOn); });
  connect(cancel_, &QPushButton::clicked, this, [this] { answer(kCancel); });
  connect(this, &QDialog::rejected, this, [this] { reply_.answer = kCancel; });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  buttons->addWidget(goOn_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message_);
  layout->addWidget(text_, 1);
  layout->addWidget(dontWarn_);
  layout->addLayout(buttons);
  resize(520, 300);
}

QString InputErrorWarningWindow::message() const { return message_->text(); }
QString InputErrorWarningWindow::transactionText() const { return text_->toPlainText(); }

void InputErrorWarningWindow::answer(int answer) {
  reply_.answer = answer;
  reply_.dontWarn = !dontWarn_->isHidden() && dontWarn_->isChecked();
  done(answer == kGoOn ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace corvela::ui

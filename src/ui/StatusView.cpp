#include "ui/StatusView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace corvela::ui {

StatusView::StatusView(QWidget* parent)
    : QWidget(parent), message_(new QLabel), done_(new QPushButton(tr("OK"))) {
  message_->setWordWrap(true);
  message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  message_->setTextFormat(Qt::PlainText);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  // A long report (many errors) scrolls rather than growing the window past the screen.
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(message_);

  done_->setDefault(true);
  done_->setAutoDefault(true);
  connect(done_, &QPushButton::clicked, this, &StatusView::dismissed);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(done_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addLayout(buttons);
  setMinimumSize(420, 180);
}

QString StatusView::text() const { return message_->text(); }

void StatusView::showStatus(const QString& title, const QString& text) {
  title_ = title;
  message_->setText(text);
  window()->setWindowTitle(title);
  emit shown(title);
  if (isWindow()) {
    show();
    raise();
    activateWindow();
  }
  done_->setFocus();
}

}  // namespace corvela::ui

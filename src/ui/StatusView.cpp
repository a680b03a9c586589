#include "ui/StatusView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace corvela::ui {

StatusView::StatusView(QWidget* parent)
    : QWidget(parent),
      heading_(new QLabel),
      message_(new QLabel),
      done_(new QPushButton(tr("OK"))),
      progress_(new QProgressBar) {
  progress_->setObjectName(QStringLiteral("runProgress"));
  progress_->setAccessibleName(tr("Transactions processed"));
  progress_->hide();
  heading_->setObjectName(QStringLiteral("statusTitle"));
  heading_->setTextFormat(Qt::PlainText);
  heading_->setWordWrap(true);
  QFont large = heading_->font();
  large.setPointSizeF(large.pointSizeF() * 1.3);
  large.setBold(true);
  heading_->setFont(large);
  message_->setObjectName(QStringLiteral("statusText"));
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
  layout->addWidget(heading_);
  layout->addWidget(progress_);
  layout->addWidget(scroll, 1);
  layout->addLayout(buttons);
  setMinimumSize(420, 180);
}

QString StatusView::text() const { return message_->text(); }

void StatusView::showProgress(int done, int total) {
  if (done >= total) {
    progress_->hide();
    return;
  }
  const bool starting = !progress_->isVisible();
  progress_->setRange(0, total);
  progress_->setValue(done);
  progress_->show();
  done_->hide();
  message_->setText(tr("Transaction %1 of %2").arg(done + 1).arg(total));
  if (starting) {
    title_ = tr("Processing Transactions");
    heading_->setText(title_);
    window()->setWindowTitle(title_);
    emit shown(title_);
  }
  window()->repaint();
}

void StatusView::showStatus(const QString& title, const QString& text) {
  progress_->hide();
  done_->show();
  title_ = title;
  heading_->setText(title);
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

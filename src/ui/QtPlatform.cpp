#include "ui/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/CancelConfirmSheet.h"
#include "ui/FilePanels.h"
#include "ui/InputErrorWarningWindow.h"
#include "ui/QtText.h"
#include "ui/StatusView.h"

namespace corvela::ui {

QtPlatform::QtPlatform(HelpBook help)
    : help_(std::move(help)),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

QtPlatform::~QtPlatform() { delete ownStatusView_; }

QWidget* QtPlatform::sheetParent() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return mainWindow_;
}

int QtPlatform::runAlert(const Alert& alert) {
  QMessageBox box(sheetParent());
  box.setWindowModality(Qt::ApplicationModal);
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(qs(alert.title));
  box.setText(qs(alert.title));
  box.setInformativeText(displayText(alert.text));

  std::vector<std::string> labels = alert.buttons;
  if (labels.empty()) labels.push_back("OK");
  if (labels.size() > 3) labels.resize(3);
  std::vector<QPushButton*> buttons;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    bool isCancel = labels[i] == "Cancel";
    QMessageBox::ButtonRole role = i == 0     ? QMessageBox::AcceptRole
                                   : isCancel ? QMessageBox::RejectRole
                                              : QMessageBox::ActionRole;
    buttons.push_back(box.addButton(qs(labels[i]), role));
    if (isCancel) box.setEscapeButton(buttons.back());
  }
  box.setDefaultButton(buttons.front());
  if (buttons.size() == 1) box.setEscapeButton(buttons.front());

  box.exec();
  auto clicked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
  return clicked == buttons.end() ? 0 : static_cast<int>(clicked - buttons.begin());
}

std::optional<OpenPanelChoice> QtPlatform::runOpenPanel(const OpenPanel& panel) {
  if (openPanelAnswer_) return openPanelAnswer_(panel);
  OpenFileDialog dialog(panel, panel.asSheet ? sheetParent() : nullptr);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.choice();
}

std::optional<std::string> QtPlatform::runSavePanel(const SavePanel& panel) {
  if (savePanelAnswer_) return savePanelAnswer_(panel);
  SaveFileDialog dialog(panel, panel.asSheet ? sheetParent() : nullptr);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.chosenPath();
}

std::optional<std::string> QtPlatform::clipboardText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return utf8(data->text());
}

void QtPlatform::showStatus(const std::string& title, const std::string& text) {
  StatusView* view = statusView_;
  if (!view) {
    if (!ownStatusView_) {
      ownStatusView_ = new StatusView;
      QObject::connect(ownStatusView_, &StatusView::dismissed, ownStatusView_, &QWidget::hide);
    }
    view = ownStatusView_;
  }
  view->showStatus(qs(title), displayText(text));
}

void QtPlatform::open(const QUrl& url) {
  if (openUrl_(url)) return;
  runAlert({"Cannot Open Help",
            "The desktop could not open " + utf8(url.toDisplayString()) +
                ". Check that a web browser is installed and set as the default application "
                "for web pages.",
            {"OK"}});
}

void QtPlatform::openHelpPage(const std::string& anchor) { open(help_.urlForAnchor(qs(anchor))); }

void QtPlatform::openHelpBook() { open(help_.url(HelpBook::kIndexPage)); }

void QtPlatform::openHelp(const std::string& page, const std::string& anchor) {
  open(help_.url(page.empty() ? QString(HelpBook::kIndexPage) : qs(page), qs(anchor)));
}

bool QtPlatform::openMailURL(const std::string& url) {
  return openUrl_(QUrl::fromEncoded(QByteArray::fromStdString(url)));
}

void QtPlatform::showProgress(std::size_t done, std::size_t total) {
  if (statusView_) statusView_->showProgress(static_cast<int>(done), static_cast<int>(total));
}

void QtPlatform::scheduleOneShot(double seconds, std::function<void()> action) {
  int milliseconds = static_cast<int>(std::lround(std::clamp(seconds, 0.0, 86400.0) * 1000));
  QTimer::singleShot(milliseconds, &timerContext_, std::move(action));
}

CancelConfirmReply QtPlatform::runCancelConfirm() {
  QWidget* parent = sheetParent();
  CancelConfirmSheet sheet(parent);
  if (!parent) sheet.setWindowModality(Qt::ApplicationModal);
  sheet.exec();
  return sheet.reply();
}

InputErrorWarningReply QtPlatform::runInputErrorWarning(const InputErrorWarning& warning) {
  // The warning is the only window the person can act on while it shows.
  QPointer<QWidget> hidden = mainWindow_ && mainWindow_->isVisible() ? mainWindow_ : nullptr;
  if (hidden) hidden->hide();
  InputErrorWarningWindow window(warning);
  window.exec();
  if (hidden) hidden->show();
  return window.reply();
}

}  // namespace corvela::ui

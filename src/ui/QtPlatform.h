#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "ui/HelpBook.h"
#include "ui/StatusView.h"

class QWidget;

namespace corvela::ui {

// The desktop's side of Platform, with Qt Widgets: alerts, file panels, the run's sheets and
// warning window, the status view, the clipboard, help pages and mail links opened with the
// desktop's default applications, and one-shot timers on the main loop. Every modal question
// runs its own event loop and returns the answer. Windows it is given are borrowed; the
// object lives as long as the program's main loop.
class QtPlatform : public Platform {
 public:
  // Opens a URL; answers whether the desktop took it. The default hands it to
  // QDesktopServices; tests record it instead.
  using UrlOpener = std::function<bool(const QUrl&)>;
  // Answer in place of the file panels (a test seam): the choice, or none for a cancelled
  // panel. Empty functions show the real panels.
  using SavePanelAnswer = std::function<std::optional<std::string>(const SavePanel&)>;
  using OpenPanelAnswer = std::function<std::optional<OpenPanelChoice>(const OpenPanel&)>;

  explicit QtPlatform(HelpBook help);
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  // The program's main window: sheets attach to it when no other window of the program is
  // active, and the input-error warning hides it while it shows.
  void setMainWindow(QWidget* window) { mainWindow_ = window; }
  // Where showStatus puts its messages; none: each message shows in a window of its own.
  void setStatusView(StatusView* view) { statusView_ = view; }
  void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
  void setSavePanelAnswer(SavePanelAnswer answer) { savePanelAnswer_ = std::move(answer); }
  void setOpenPanelAnswer(OpenPanelAnswer answer) { openPanelAnswer_ = std::move(answer); }

  // --- Platform

  // A message box titled by the alert, its text below (carriage returns break lines), its
  // buttons in the order given, the first the default. Escape answers a button titled
  // "Cancel", or the only button; otherwise it does nothing.
  int runAlert(const Alert& alert) override;
  std::optional<OpenPanelChoice> runOpenPanel(const OpenPanel& panel) override;
  std::optional<std::string> runSavePanel(const SavePanel& panel) override;
  std::optional<std::string> clipboardText() override;
  void showStatus(const std::string& title, const std::string& text) override;
  // The help page that defines `anchor` (see HelpBook::urlForAnchor).
  void openHelpPage(const std::string& anchor) override;
  void scheduleOneShot(double seconds, std::function<void()> action) override;
  // In the status view (see StatusView::showProgress).
  void showProgress(std::size_t done, std::size_t total) override;
  CancelConfirmReply runCancelConfirm() override;
  InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) override;

  // --- Beyond Platform, for the menus and the main window

  // Menu "Corvela Help": the book's index.
  void openHelpBook();
  // A help button: `page` (relative to the book, e.g. "pages/1Control.html") at `anchor`.
  void openHelp(const std::string& page, const std::string& anchor);
  // A mailto: URL (already percent-escaped) handed to the desktop's mail client. Answers
  // whether the desktop took it.
  bool openMailURL(const std::string& url);

  const HelpBook& helpBook() const { return help_; }

 private:
  // The window a sheet attaches to: the active window of the program, else the main window.
  QWidget* sheetParent() const;
  void open(const QUrl& url);

  HelpBook help_;
  QPointer<QWidget> mainWindow_;
  QPointer<StatusView> statusView_;
  // A standalone status window, made when no status view was set.
  QPointer<StatusView> ownStatusView_;
  UrlOpener openUrl_;
  SavePanelAnswer savePanelAnswer_;
  OpenPanelAnswer openPanelAnswer_;
  // Keeps pending one-shot timers; they die with it.
  QObject timerContext_;
};

}  // namespace corvela::ui

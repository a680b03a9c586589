// corvela: the desktop program. `corvela [FILE]` opens FILE as the desktop opens a document;
// when Corvela is already running for this person and preference store, the file goes to it.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>

#include "platform/CrashReports.h"
#include "prefs/CVPrefs.h"
#include "ui/DesktopApp.h"
#include "ui/DocumentServer.h"

using corvela::ui::DocumentServer;

namespace {

// SIGTERM (a logout, a shutdown) and SIGINT arrive through a pipe instead of interrupting the
// program, so that they end it the ordinary way: through aboutToQuit, which writes the store.
// A handler rather than a blocked signal mask: programs started from Corvela (the browser for
// help, the mail program) would inherit a blocked mask and could then not be ended themselves.
//
// A signal handler can reach no object, so the pipe's write end is the one static value of the
// program; it is set once, before the handlers are installed, and never changed.
int endingSignalPipe = -1;

void onEndingSignal(int) {
  const char byte = 0;
  [[maybe_unused]] ssize_t written = ::write(endingSignalPipe, &byte, 1);
}

// The read end of the pipe, or -1 when there is none (the signals then end the program as
// they would anyway).
int catchEndingSignals() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  endingSignalPipe = ends[1];
  struct sigaction action {};
  action.sa_handler = onEndingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
  return ends[0];
}

}  // namespace

int main(int argc, char** argv) {
  // A crash leaves a report that Help > Report a Problem offers to send.
  corvela::installCrashReporter(corvela::crashReportFolder(), CORVELA_VERSION);
  const int signalDescriptor = catchEndingSignals();
  QApplication app(argc, argv);
  if (signalDescriptor >= 0) {
    auto* notifier = new QSocketNotifier(signalDescriptor, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [signalDescriptor] {
      char bytes[16];
      while (::read(signalDescriptor, bytes, sizeof bytes) > 0) {
      }
      QApplication::quit();
    });
  }
  QApplication::setApplicationName(QStringLiteral("Corvela"));
  QApplication::setApplicationVersion(QStringLiteral(CORVELA_VERSION));
  QApplication::setOrganizationDomain(QStringLiteral("corvela.org"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.corvela.Corvela"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.corvela.Corvela")));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Converts bank, card and brokerage statements to QIF."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("A statement (.ofx, .qfx, .qif, ...), a "
                                              "continuation file (.crvc) or an input format "
                                              "(.cvef) to open."),
                               QStringLiteral("[FILE]"));
  parser.process(app);
  QString file;
  if (!parser.positionalArguments().isEmpty())
    file = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();

  const std::string storePath = corvela::CVPrefs::defaultPath();
  const QString serverName = DocumentServer::serverName(storePath);
  switch (DocumentServer::handToRunningProgram(serverName, file)) {
    case DocumentServer::Handoff::accepted:
      return 0;
    case DocumentServer::Handoff::refused:
      QTextStream(stderr) << "corvela: \"" << file
                          << "\" was not opened: Corvela is busy with another input. Finish "
                             "or cancel it, then open the file again.\n";
      return 1;
    case DocumentServer::Handoff::noProgram:
      break;
  }

  corvela::ui::DesktopApp desktop(storePath);
  if (!desktop.listenForDocuments(serverName))
    QTextStream(stderr) << "corvela: later \"corvela FILE\" commands will start programs of "
                           "their own: this one cannot listen for them.\n";
  if (!desktop.start(file.toStdString())) return 1;
  return QApplication::exec();
}

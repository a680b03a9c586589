// corvela: the desktop program. `corvela [FILE]` opens FILE as the desktop opens a document;
// when Corvela is already running for this person and preference store, the file goes to it.
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>

#include "prefs/CVPrefs.h"
#include "ui/DesktopApp.h"
#include "ui/DocumentServer.h"

using corvela::ui::DocumentServer;

namespace {

// SIGTERM (a logout, a shutdown) and SIGINT arrive on a descriptor instead of interrupting the
// program, so that they end it the ordinary way: through aboutToQuit, which writes the store.
// Blocked before QApplication starts any thread, so that every thread inherits the mask.
int blockEndingSignals() {
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGTERM);
  sigaddset(&ending, SIGINT);
  if (pthread_sigmask(SIG_BLOCK, &ending, nullptr) != 0) return -1;
  return signalfd(-1, &ending, SFD_CLOEXEC | SFD_NONBLOCK);
}

}  // namespace

int main(int argc, char** argv) {
  const int signalDescriptor = blockEndingSignals();
  QApplication app(argc, argv);
  if (signalDescriptor >= 0) {
    auto* notifier = new QSocketNotifier(signalDescriptor, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [signalDescriptor] {
      signalfd_siginfo info{};
      while (::read(signalDescriptor, &info, sizeof info) > 0) {
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

// corvela: the desktop program. `corvela [FILE]` opens FILE as the desktop opens a document;
// when Corvela is already running for this person and preference store, the file goes to it.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

#include "prefs/CVPrefs.h"
#include "ui/DesktopApp.h"
#include "ui/DocumentServer.h"

using corvela::ui::DocumentServer;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
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
  desktop.start(file.toStdString());
  return QApplication::exec();
}

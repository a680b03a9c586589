#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace corvela::ui {

// One desktop program per person and preference store: a second `corvela FILE` hands its file
// to the program already running, which opens it as the desktop opens a document, and exits.
//
// The program listens on a local socket that only its user can reach. A request is one line:
// the file's absolute path in UTF-8, or an empty line to bring the window forward. The answer
// is one line, "accepted" or "refused" (the running program is busy with another input).
class DocumentServer : public QObject {
  Q_OBJECT

 public:
  // Opens the file at `path` (empty: only brings the program forward); answers whether it
  // was accepted.
  using OpenFile = std::function<bool(const std::string& path)>;

  // What became of a file handed to a running program.
  enum class Handoff { accepted, refused, noProgram };

  // The socket name for the person running this and the store at `storePath`.
  static QString serverName(const std::string& storePath);

  // Hands `path` (absolute; empty to bring the program forward) to the program listening at
  // `name`, waiting at most `timeoutMs` for each step. noProgram when none listens. A program
  // that takes the file but is slow to answer (a panel it opened for it) counts as accepted.
  static Handoff handToRunningProgram(const QString& name, const QString& path,
                                      int timeoutMs = 5000);

  explicit DocumentServer(OpenFile openFile, QObject* parent = nullptr);
  ~DocumentServer() override;

  // Listens at `name`. A socket left behind by a program that ended without closing it is
  // replaced; one where a program still listens is not. False when listening failed
  // (errorString() says why).
  bool listen(const QString& name);
  QString errorString() const;

 private:
  void serve(QLocalSocket* socket);

  OpenFile openFile_;
  QLocalServer* server_;
  QString refusal_;  // why listen() did not even try
};

}  // namespace corvela::ui

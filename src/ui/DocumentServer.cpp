#include "ui/DocumentServer.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

namespace corvela::ui {
namespace {

// A request is a path, percent-encoded (so a newline in a file name cannot end it early).
// Anything longer than a path can be is not a request.
constexpr qint64 kMaxRequest = 64 * 1024;
constexpr char kAccepted[] = "accepted";
constexpr char kRefused[] = "refused";
constexpr char kServed[] = "corvelaServed";

}  // namespace

QString DocumentServer::serverName(const std::string& storePath) {
  QString store = QFileInfo(QString::fromStdString(storePath)).absoluteFilePath();
  QByteArray key = QByteArray::number(static_cast<qulonglong>(getuid())) + ':' + store.toUtf8();
  QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
  return QStringLiteral("corvela-") + QString::fromLatin1(digest.left(24));
}

DocumentServer::Handoff DocumentServer::handToRunningProgram(const QString& name,
                                                             const QString& path, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return Handoff::noProgram;
  socket.write(path.toUtf8().toPercentEncoding() + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return Handoff::noProgram;
  while (!socket.canReadLine()) {
    // The program has the file: it may be showing a panel about it before it answers.
    if (!socket.waitForReadyRead(timeoutMs)) return Handoff::accepted;
  }
  return socket.readLine().trimmed() == kRefused ? Handoff::refused : Handoff::accepted;
}

DocumentServer::DocumentServer(OpenFile openFile, QObject* parent)
    : QObject(parent), openFile_(std::move(openFile)), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
      serve(socket);
    }
  });
}

DocumentServer::~DocumentServer() { server_->close(); }

bool DocumentServer::listen(const QString& name) {
  // Listening with access options puts the new socket in place of any old one, so a live
  // program must be found before, not by a failure to listen.
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(1000)) {
    probe.abort();
    refusal_ = tr("Another Corvela is listening at %1.").arg(name);
    return false;
  }
  refusal_.clear();
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

QString DocumentServer::errorString() const {
  return refusal_.isEmpty() ? server_->errorString() : refusal_;
}

void DocumentServer::serve(QLocalSocket* socket) {
  if (socket->property(kServed).toBool()) return;
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kMaxRequest) socket->abort();
    return;
  }
  socket->setProperty(kServed, true);
  QByteArray request = socket->readLine(kMaxRequest).trimmed();
  std::string path = QByteArray::fromPercentEncoding(request).toStdString();
  // Opening may run a panel's event loop, in which the other side can go away.
  QPointer<QLocalSocket> guard(socket);
  bool accepted = openFile_(path);
  if (!guard || guard->state() != QLocalSocket::ConnectedState) return;
  guard->write(QByteArray(accepted ? kAccepted : kRefused) + '\n');
  guard->flush();
  guard->disconnectFromServer();
}

}  // namespace corvela::ui

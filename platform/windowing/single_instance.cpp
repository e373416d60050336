#include "platform/windowing/single_instance.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kComeForward = "COME-FORWARD\n";

// The title in characters any file system and socket name accept, with the user's name, so that two users of
// one machine each have their copy.
QString GuardBaseName(const QString &title) {
  QString base;
  for (QChar c : title)
    base += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QChar('_');
  if (base.isEmpty()) base = QStringLiteral("application");
  QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
  user.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
  return user.isEmpty() ? base : base + QLatin1Char('-') + user;
}

} // namespace

QString UserRuntimeFolder() {
#ifdef Q_OS_UNIX
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QByteArray folder = QDir::temp().filePath(QStringLiteral("runtime-%1").arg(getuid())).toLocal8Bit();
  mkdir(folder.constData(), 0700);
  struct stat status {};
  // Another user's folder, or anything else found under the name, is not used.
  if (lstat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != getuid() ||
      (status.st_mode & 0077) != 0)
    return QString();
  return QString::fromLocal8Bit(folder);
#else
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
}

void NameUserRuntimeFolder() {
#ifdef Q_OS_UNIX
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  if (const QString folder = UserRuntimeFolder(); !folder.isEmpty())
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
#endif
}

TSingleInstanceGuard::TSingleInstanceGuard(const QString &Title, const QString &Directory) {
  const QString dir = Directory.isEmpty() ? UserRuntimeFolder() : Directory;
  if (dir.isEmpty()) return; // Acquire fails: there is no folder of the user's own to keep the guard in
  const QString base = GuardBaseName(Title);
  lockPath_ = QDir(dir).filePath(base + QStringLiteral(".lock"));
#ifdef Q_OS_UNIX
  serverName_ = QDir(dir).filePath(base + QStringLiteral(".socket"));
#else
  serverName_ = base;
#endif
}

TSingleInstanceGuard::~TSingleInstanceGuard() { Release(); }

TSingleInstanceGuard::TState TSingleInstanceGuard::Acquire() {
  if (state_ == TState::First || state_ == TState::Second) return state_;
  if (lockPath_.isEmpty()) {
    error_ = QStringLiteral("No folder of the user's own can hold the lock file");
    return state_ = TState::Failed;
  }
  QDir().mkpath(QFileInfo(lockPath_).absolutePath());
  lock_ = std::make_unique<QLockFile>(lockPath_);
  // Only a living copy holds the lock: one left by a copy that crashed is taken over.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    const QLockFile::LockError reason = lock_->error();
    lock_.reset();
    if (reason == QLockFile::LockFailedError) return state_ = TState::Second;
    error_ = reason == QLockFile::PermissionError
                 ? QStringLiteral("No permission to create the lock file %1").arg(lockPath_)
                 : QStringLiteral("The lock file %1 could not be created").arg(lockPath_);
    return state_ = TState::Failed;
  }
  server_ = std::make_unique<QLocalServer>();
  // A socket left by a copy that crashed is ours to replace now that we hold the lock.
  QLocalServer::removeServer(serverName_);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName_)) {
    // The lock keeps other copies out; only the request to come forward is lost.
    error_ = server_->errorString();
    server_.reset();
  } else {
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                     [this] { AcceptConnections(); });
  }
  return state_ = TState::First;
}

void TSingleInstanceGuard::AcceptConnections() {
  while (QLocalSocket *socket = server_->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto readRequest = [this, socket] {
      if (!socket->canReadLine()) return;
      const QByteArray request = socket->readLine();
      socket->disconnectFromServer();
      if (request == kComeForward && OnComeForward) OnComeForward();
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, readRequest);
    readRequest();
  }
}

bool TSingleInstanceGuard::AskFirstToComeForward() {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(1000)) return false;
  socket.write(kComeForward);
  if (!socket.waitForBytesWritten(1000)) return false;
  socket.disconnectFromServer();
  return true;
}

void TSingleInstanceGuard::Release() {
  server_.reset();
  if (lock_) {
    lock_->unlock();
    lock_.reset();
  }
  if (state_ == TState::First) state_ = TState::NotAcquired;
}

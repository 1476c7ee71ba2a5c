#include "gui/main/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "gui/widgets/guarded.h"

namespace {
const QByteArray RaiseMessage = "raise\n";

// A real folder (not a link) of this user's that nobody else may enter.
bool isPrivateFolder(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

// The folder, made with mode 0700 when it is not there; empty unless it is private.
QString privateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) == 0)
        ::chmod(native.constData(), 0700);  // the umask may have taken bits away
    else if (errno != EEXIST)
        return {};
    return isPrivateFolder(path) ? path : QString();
}

// The names depend on the data folder, so separate pools can run side by side. A folder that
// exists is known by its device and inode, so a copy started through a bind mount finds the
// window already open on it.
QString keyedName(const QString& name, const QString& dataDir)
{
    if (dataDir.isEmpty()) return name;
    struct stat info {};
    QByteArray folder;
    if (::stat(QFile::encodeName(dataDir).constData(), &info) == 0 && S_ISDIR(info.st_mode))
        folder = QByteArray::number(qulonglong(info.st_dev)) + ':' + QByteArray::number(qulonglong(info.st_ino));
    else
        folder = QFileInfo(dataDir).absoluteFilePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
    return name + QLatin1Char('-') + QString::fromLatin1(hash);
}
}  // namespace

QString privateLockFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (isPrivateFolder(runtime)) return runtime;
    const QString temp = privateFolder(QDir::tempPath() + QStringLiteral("/hoopfall-") + QString::number(::geteuid()));
    if (!temp.isEmpty()) return temp;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache)) return {};
    return privateFolder(cache + QStringLiteral("/hoopfall"));
}

SingleInstance::SingleInstance(const QString& lockDir, const QString& name, const QString& dataDir)
{
    if (lockDir.isEmpty()) return;
    const QString base = QDir(lockDir).filePath(keyedName(name, dataDir));
    m_socketPath = base + QStringLiteral(".sock");
    m_lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);  // a lock left by a copy that died is taken over
}

SingleInstance::~SingleInstance()
{
    releaseLock();
    delete m_server;  // its connections count down while this object is still whole
}

QString SingleInstance::lockFileName() const { return m_lock ? m_lock->fileName() : QString(); }

SingleInstance::Outcome SingleInstance::check(int waitMs)
{
    if (!m_lock) return Outcome::First;  // no private folder: nothing to guard with
    if (!m_lock->tryLock(waitMs)) return Outcome::AlreadyStarting;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (socket.waitForConnected(500)) {
        socket.write(RaiseMessage);
        socket.waitForBytesWritten(500);
        socket.disconnectFromServer();
        m_lock->unlock();
        return Outcome::AlreadyRunning;
    }
    return Outcome::First;
}

void SingleInstance::listen()
{
    if (m_server || m_socketPath.isEmpty()) return;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_socketPath);  // a socket left by a copy that died
    m_server->listen(m_socketPath);
    connect(m_server, &QLocalServer::newConnection, this, guarded(this, &SingleInstance::acceptConnections));
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections >= MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, guarded([this] { --m_connections; }));
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, guarded([this, socket] { readMessage(socket); }));
        QTimer::singleShot(IdleLimitMs, socket, guarded([socket] { socket->abort(); }));
        socket->setReadBufferSize(RaiseMessage.size() + 1);
        if (socket->bytesAvailable() > 0) readMessage(socket);
    }
}

// One line per connection, and only the exact message counts; anything else, or anything too
// long to be it, ends the connection.
void SingleInstance::readMessage(QLocalSocket* socket)
{
    if (socket->canReadLine()) {
        const QByteArray line = socket->readLine(RaiseMessage.size() + 1);
        const bool raise = line == RaiseMessage && socket->bytesAvailable() == 0;
        socket->abort();
        if (raise) emit raiseRequested();
    } else if (socket->bytesAvailable() >= RaiseMessage.size()) {
        socket->abort();
    }
}

void SingleInstance::releaseLock()
{
    if (m_lock && m_lock->isLocked()) m_lock->unlock();
}

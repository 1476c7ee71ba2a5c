#include "shell/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {
const QByteArray RaiseMessage = "raise\n";
}

SingleInstance::SingleInstance(const QString& lockDir, const QString& name)
    : m_name(name), m_lock(std::make_unique<QLockFile>(QDir(lockDir).filePath(name + QStringLiteral(".lock"))))
{
    m_lock->setStaleLockTime(0);  // a lock left by a copy that died is taken over
}

SingleInstance::~SingleInstance() { ReleaseLock(); }

QString SingleInstance::serverName() const
{
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return m_name + QLatin1Char('-') + user + QLatin1Char('-') + QString::number(qHash(m_lock->fileName()), 16);
}

SingleInstance::Outcome SingleInstance::Check(int waitMs)
{
    if (!m_lock->tryLock(waitMs)) return Outcome::AlreadyStarting;
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (socket.waitForConnected(500)) {
        socket.write(RaiseMessage);
        socket.waitForBytesWritten(500);
        socket.disconnectFromServer();
        m_lock->unlock();
        return Outcome::AlreadyRunning;
    }
    return Outcome::First;
}

void SingleInstance::Listen()
{
    if (m_server) return;
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(serverName());  // a socket left by a copy that died
    m_server->listen(serverName());
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().startsWith("raise")) emit raiseRequested();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->bytesAvailable() > 0 && socket->readAll().startsWith("raise")) emit raiseRequested();
        }
    });
}

void SingleInstance::ReleaseLock()
{
    if (m_lock && m_lock->isLocked()) m_lock->unlock();
}

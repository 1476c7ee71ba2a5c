#pragma once
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// The user's own folder for the start-up lock and the socket, where no other user can plant a
// lock or take the socket's name: the runtime folder when it is a real folder of the user's with
// mode 0700, else hoopfall-<uid> in the temp folder, else hoopfall in the user's cache folder
// (either made with mode 0700 and checked the same way). Empty when none of them will do.
QString privateLockFolder();

// Finds a copy of the program that this user runs on the same data folder and brings it forward.
// The start-up lock guards only the start-up itself; a copy that is already running is found
// through the local socket its main window listens on, and asked to come forward. Keeping to one
// writer per pool whatever the user or environment is the pool's own lock's work (pool_lock.h).
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome { First, AlreadyStarting, AlreadyRunning };

    // lockDir: the folder of the lock file and the socket (privateLockFolder; when empty, every
    // copy runs unguarded). name: the base of both names. dataDir: the pool's folder, so copies on
    // separate pools do not stop each other.
    SingleInstance(const QString& lockDir, const QString& name, const QString& dataDir = {});
    ~SingleInstance() override;

    // Waits at most waitMs for the start-up lock. On First, this copy owns the lock until
    // releaseLock; otherwise this copy should end at once.
    Outcome check(int waitMs = 1000);
    // Once the main window exists: listen for later copies, then release the lock.
    void listen();
    void releaseLock();

    QString lockFileName() const;
    const QString& socketPath() const { return m_socketPath; }

    // A later copy sends one line; a connection gets this long to send it, and only so many are
    // served at a time, so idle or endless connections cannot tie the program up.
    static constexpr int IdleLimitMs = 1000;
    static constexpr int MaxConnections = 8;

signals:
    void raiseRequested();  // a later copy asks the running one to come forward

private:
    void acceptConnections();
    void readMessage(QLocalSocket* socket);

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    int m_connections = 0;
};

inline const char* const StartupLockName = "SingleInstanceProgramHMutex";

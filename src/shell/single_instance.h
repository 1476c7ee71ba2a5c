#pragma once
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// Lets only one copy of the program run per user. The start-up lock guards only the start-up
// itself; a copy that is already running is found through the local socket its main window
// listens on, and asked to come forward.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome { First, AlreadyStarting, AlreadyRunning };

    // lockDir: where the lock file lives; name: the lock's name (also the socket's, per user).
    SingleInstance(const QString& lockDir, const QString& name);
    ~SingleInstance() override;

    // Waits at most waitMs for the start-up lock. On First, this copy owns the lock until
    // ReleaseLock; otherwise this copy should end at once.
    Outcome Check(int waitMs = 1000);
    // Once the main window exists: listen for later copies, then release the lock.
    void Listen();
    void ReleaseLock();

signals:
    void raiseRequested();  // a later copy asks the running one to come forward

private:
    QString serverName() const;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

inline const char* const StartupLockName = "SingleInstanceProgramHMutex";

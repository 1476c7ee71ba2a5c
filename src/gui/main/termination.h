#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a signal on the event loop: the handler only writes a
// byte to a socket pair, and a notifier reads it on the main thread, where the program can close
// as the organiser would. The previous handlers are put back when it goes.
class TerminationWatcher final : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};

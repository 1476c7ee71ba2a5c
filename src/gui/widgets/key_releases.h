#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QKeyEvent;
class QWidget;

// Tells the release of a key that was let go from the releases the keyboard's auto-repeat sends
// while a key is held, for controls that act when a key is released.
//
// Qt marks repeats, but on X11 it looks for the press that follows each repeated release only
// among the events it has already read, and many come unmarked. On X11 a repeat is a release
// followed at once by a press of the same key with the same time. So an unmarked release is held
// back until the next input shows what it was: the press of its pair drops it; any other input
// (a key, a click, a shortcut) lets it act first, so the order of events stays; with no input at
// all it acts after a short wait.
class KeyReleases final : public QObject {
public:
    using Handler = std::function<void(QWidget* receiver, int key)>;
    KeyReleases(Handler act, QObject* parent);

    // A release of a key the owner acts on, received by receiver.
    void release(QWidget* receiver, const QKeyEvent& key);
    // A held-back release acts now.
    void settle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hold(QWidget* receiver, const QKeyEvent& key);
    void drop();
    void waited();

    Handler m_act;
    QTimer m_wait;
    struct Held {
        QPointer<QWidget> receiver;
        int key = 0;
        quint64 time = 0;
        quint64 serial = 0;  // which hold, so a wait that outlived its release does nothing
    };
    Held m_held;
    bool m_holding = false;
    quint64 m_serial = 0;
};

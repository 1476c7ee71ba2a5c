#include "gui/widgets/key_releases.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
// The press of a repeat is sent together with its release, but may be handed on only some
// milliseconds after it (about 10 on a loaded machine); short enough not to be noticed.
constexpr int PairWaitMs = 100;
}  // namespace

KeyReleases::KeyReleases(Handler act, QObject* parent) : QObject(parent), m_act(std::move(act))
{
    m_wait.setSingleShot(true);
    m_wait.setInterval(PairWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &KeyReleases::waited);
}

void KeyReleases::release(QWidget* receiver, const QKeyEvent& key)
{
    // An earlier release held back has been settled on the way here (eventFilter).
    if (key.isAutoRepeat()) return;
    // A release the program made itself carries no time, so nothing can pair with it.
    if (key.timestamp() == 0) {
        m_act(receiver, key.key());
        return;
    }
    hold(receiver, key);
}

void KeyReleases::hold(QWidget* receiver, const QKeyEvent& key)
{
    m_held = {receiver, key.key(), key.timestamp(), ++m_serial};
    m_holding = true;
    // Until it is settled, every input of the program passes here first.
    QCoreApplication::instance()->installEventFilter(this);
    m_wait.start();
}

void KeyReleases::drop()
{
    m_holding = false;
    m_wait.stop();
    QCoreApplication::instance()->removeEventFilter(this);
}

void KeyReleases::settle()
{
    if (!m_holding) return;
    const Held held = m_held;
    drop();
    if (held.receiver) m_act(held.receiver, held.key);
}

void KeyReleases::waited()
{
    // Events already read go first: the press of the pair may be among them.
    const quint64 serial = m_held.serial;
    QPointer<KeyReleases> self(this);
    QCoreApplication::processEvents();
    if (self && m_holding && m_held.serial == serial) settle();
}

bool KeyReleases::eventFilter(QObject*, QEvent* event)
{
    if (!m_holding) return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:  // sent ahead of a press; the press itself tells
        if (static_cast<const QKeyEvent*>(event)->key() != m_held.key) settle();
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == m_held.key && key->timestamp() == m_held.time)
            drop();  // the press of the pair: the held-back release was a repeat
        else
            settle();
        break;
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu: settle(); break;
    default: break;
    }
    return false;  // the event goes on, after the release it followed
}

#include "gui/widgets/context_menu_key.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

bool ContextMenuKey::eventFilter(QObject* watched, QEvent* event)
{
    // The key goes first to the window, then to the control with the focus: the control opens it.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier) return QObject::eventFilter(watched, event);
    auto* control = static_cast<QWidget*>(watched);
    if (!key->isAutoRepeat() && control->isEnabled()) {
        // At the control's cursor, as the Menu key puts it; the middle where it has none.
        const QRect cursor = control->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint pos = cursor.isValid() ? cursor.center() : control->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, pos, control->mapToGlobal(pos), key->modifiers());
        QCoreApplication::sendEvent(control, &menu);
    }
    return true;
}

#include "gui/widgets/child_window.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <functional>

namespace {
// Focus events go to the control, never to its window, so the window listens to all of them.
class FocusWatch final : public QObject {
public:
    using Handler = std::function<void(QWidget*, Qt::FocusReason)>;
    FocusWatch(Handler entered, QObject* parent) : QObject(parent), m_entered(std::move(entered))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn && watched->isWidgetType())
            m_entered(static_cast<QWidget*>(watched), static_cast<QFocusEvent*>(event)->reason());
        return false;
    }

private:
    Handler m_entered;
};
}  // namespace

ChildWindow::ChildWindow(QWidget* parent) : QWidget(parent)
{
    new FocusWatch([this](QWidget* control, Qt::FocusReason reason) { focusEntered(control, reason); }, this);
}

void ChildWindow::focusEntered(QWidget* control, Qt::FocusReason reason)
{
    if (!isAncestorOf(control)) return;
    // A hidden window's focus moves are Qt's, not the organiser's; so are the ones Qt makes when
    // it activates a window, its own pick of a control with no reason of the organiser's.
    const bool qtsOwn = reason == Qt::OtherFocusReason || reason == Qt::ActiveWindowFocusReason;
    if (control->isVisible() && (!qtsOwn || !m_lastFocus)) m_lastFocus = control;
}

void ChildWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // After the frame is done with its own moves, which may still follow the show.
    QMetaObject::invokeMethod(this, &ChildWindow::takeBackFocus, Qt::QueuedConnection);
}

void ChildWindow::takeBackFocus()
{
    // Only a focus still in this window goes back: showing a window never takes the focus from
    // another one.
    if (isVisible() && isAncestorOf(QApplication::focusWidget())) restoreFocus();
}

void ChildWindow::restoreFocus()
{
    QWidget* control = m_lastFocus;
    if (!control || control->hasFocus() || !isAncestorOf(control) || !control->isVisible() || !control->isEnabled())
        return;
    control->setFocus(Qt::ActiveWindowFocusReason);  // as the window coming back: a text box keeps its cursor
}

QSize ChildWindow::sizeHint() const
{
    if (!m_normalSize.isValid()) return QWidget::sizeHint();
    QSize size = m_normalSize;
    if (const auto* frame = qobject_cast<const QMdiSubWindow*>(parentWidget())) {
        const QMargins decoration = frame->contentsMargins();
        size -= QSize(decoration.left() + decoration.right(), decoration.top() + decoration.bottom());
    }
    return size;
}

QVBoxLayout* ChildWindow::addStatusStrip(QLabel*& panel)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("pnlStatus"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // A long status text is cut at the strip's edge rather than widening the window: its width
    // would otherwise be the window's minimum, and Tile would grow the frame past the screen.
    panel->setSizePolicy(QSizePolicy::Ignored, panel->sizePolicy().verticalPolicy());
    layout->addWidget(panel);
    return layout;
}

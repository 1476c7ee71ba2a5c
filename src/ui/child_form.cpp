#include "ui/child_form.h"

#include <QMdiSubWindow>

QSize TChildForm::sizeHint() const
{
    if (!m_normalSize.isValid()) return QWidget::sizeHint();
    QSize size = m_normalSize;
    if (const auto* frame = qobject_cast<const QMdiSubWindow*>(parentWidget())) {
        const QMargins decoration = frame->contentsMargins();
        size -= QSize(decoration.left() + decoration.right(), decoration.top() + decoration.bottom());
    }
    return size;
}

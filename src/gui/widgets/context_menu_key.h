#pragma once
#include <QObject>

// Shift+F10 opens the pop-up menu of the control with the focus, as the Menu key does, so every
// grid, list and text box with a pop-up menu is reached without the mouse. Installed once on the
// application.
class ContextMenuKey final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#pragma once
#include <QDialog>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <initializer_list>

// One control's place in a fixed-size dialog, in pixels relative to its parent (a group box's
// controls are placed relative to the group box).
struct ControlPlace {
    QWidget* control;
    QRect rect;
};

// Puts every control of a fixed layout where its table says.
inline void applyLayout(std::initializer_list<ControlPlace> table)
{
    for (const ControlPlace& place : table) place.control->setGeometry(place.rect);
}

// A dialog of one fixed client size, centred on the screen, in the small font its pixel layout
// was made for (8 points at 96 dots per inch).
inline void fixDialog(QDialog& dialog, QSize clientSize)
{
    QFont small = dialog.font();
    small.setPixelSize(11);
    dialog.setFont(small);
    dialog.setFixedSize(clientSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}

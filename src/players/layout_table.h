#pragma once
#include <QRect>
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

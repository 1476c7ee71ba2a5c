#pragma once
#include <QIcon>
#include <QRectF>

class QPainter;

// The ball drawn on the splash window, from the same picture the desktop shows as the program's
// icon (packaging/hoopfall.svg, built into the program).
void paintBall(QPainter& painter, const QRectF& bounds);

// The program's window icon, drawn at the usual icon sizes without the image plug-ins.
QIcon ballIcon();

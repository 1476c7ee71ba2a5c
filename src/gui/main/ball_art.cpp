#include "gui/main/ball_art.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The picture is a resource of a static library: nothing would pull it into the program unless
// it is asked for by name.
static QString picturePath()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)loaded;
    return QStringLiteral(":/hoopfall.svg");
}

void paintBall(QPainter& painter, const QRectF& bounds)
{
    QSvgRenderer renderer(picturePath());
    renderer.render(&painter, bounds);
}

QIcon ballIcon()
{
    QSvgRenderer renderer(picturePath());
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

#include "gui/players/player_icons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr QRectF CoinRect(1.5, 1.5, 13, 13);

QImage blankIcon()
{
    QImage image(PlayerIconSize, PlayerIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void drawCoin(QPainter& painter, const QColor& face, const QColor& rim)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(rim, 1));
    painter.setBrush(face);
    painter.drawEllipse(CoinRect);
}
}  // namespace

QPixmap paidIcon()
{
    QImage image = blankIcon();
    {
        QPainter painter(&image);
        drawCoin(painter, QColor(46, 160, 67), QColor(20, 96, 36));
        // A dollar sign drawn as strokes, so it looks the same whatever fonts are installed.
        QPainterPath dollar;
        dollar.moveTo(10.6, 5.4);
        dollar.cubicTo(10.0, 4.0, 6.0, 4.0, 5.6, 5.9);
        dollar.cubicTo(5.3, 7.7, 10.6, 7.4, 10.5, 9.9);
        dollar.cubicTo(10.4, 12.1, 6.1, 12.1, 5.4, 10.5);
        dollar.moveTo(8, 2.8);
        dollar.lineTo(8, 13.2);
        painter.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(dollar);
    }
    return QPixmap::fromImage(image);
}

QPixmap notPaidIcon()
{
    QImage image = blankIcon();
    {
        QPainter painter(&image);
        drawCoin(painter, QColor(176, 176, 176), QColor(112, 112, 112));
        painter.setPen(QPen(QColor(208, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    return QPixmap::fromImage(image);
}

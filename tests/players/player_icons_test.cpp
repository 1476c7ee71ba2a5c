#include <QImage>
#include <gtest/gtest.h>

#include "players/player_icons.h"

namespace {
bool greenish(const QColor& c) { return c.alpha() == 255 && c.green() > c.red() + 60 && c.green() > c.blue() + 60; }
bool reddish(const QColor& c) { return c.alpha() == 255 && c.red() > 150 && c.green() < 60 && c.blue() < 60; }
bool greyish(const QColor& c)
{
    return c.alpha() == 255 && c.red() == c.green() && c.green() == c.blue() && c.red() > 100 && c.red() < 220;
}
}  // namespace

TEST(PlayerIcons, TwoDistinctSixteenPixelCoins)
{
    const QImage paid = paidIcon().toImage();
    const QImage notPaid = notPaidIcon().toImage();
    for (const QImage* icon : {&paid, &notPaid}) {
        EXPECT_EQ(icon->size(), QSize(16, 16));
        for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
            EXPECT_EQ(icon->pixelColor(corner).alpha(), 0) << "corners stay clear";
    }
    EXPECT_NE(paid, notPaid);

    // The paid coin is green with a white sign; the unpaid one grey with a red cross.
    EXPECT_TRUE(greenish(paid.pixelColor(4, 8)));
    EXPECT_TRUE(greenish(paid.pixelColor(12, 8)));
    const QColor sign = paid.pixelColor(8, 3);
    EXPECT_TRUE(sign.red() > 230 && sign.green() > 230 && sign.blue() > 230);
    EXPECT_TRUE(reddish(notPaid.pixelColor(8, 8)));
    EXPECT_TRUE(reddish(notPaid.pixelColor(5, 5)));
    EXPECT_TRUE(greyish(notPaid.pixelColor(8, 3)));
    EXPECT_TRUE(greyish(notPaid.pixelColor(3, 8)));
}

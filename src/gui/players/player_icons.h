#pragma once
#include <QPixmap>

// The 16 x 16 pictures the Player Manager draws before each name, made in code so the program
// carries no image files: a green coin with a dollar sign, and a grey coin crossed out in red.
constexpr int PlayerIconSize = 16;
QPixmap paidIcon();
QPixmap notPaidIcon();

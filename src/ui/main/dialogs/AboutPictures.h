#pragma once
// The about box's animation: sixteen pictures drawn by the program, a slide that turns into a
// page as an arrow sweeps round it.
#include <QPixmap>

constexpr int kAboutPictureCount = 16;
// Picture 1..16 at the given logical size.
QPixmap AboutPicture(int index, int size, qreal devicePixelRatio = 1.0);

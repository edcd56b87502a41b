// The About window's picture, built into the program: 100 x 100 pixels whose top and bottom
// nine rows are black film-strip bands with white 5 x 5 perforations.
#pragma once

#include <QImage>

constexpr int kAboutPictureSize = 100;

// In 32-bit RGB; a null image when it could not be allocated.
QImage AboutPicture();

// Pinned font and pixel tests for the picture row suites: a real DejaVu face, so that boxes
// for a missing font cannot pass for text.
#pragma once

#include <gtest/gtest.h>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QRect>

namespace rowpixels {

inline QFont RowFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  return font;
}

inline void ExpectRealFont(const QFont& font) {
  const QFontInfo info(font);
  ASSERT_FALSE(info.family().isEmpty());
  ASSERT_EQ(info.family(), QStringLiteral("DejaVu Sans"));
  const QFontMetrics metrics(font);
  for (QChar character : QStringLiteral("No thumbnailDwpxs.*0123456789()")) {
    ASSERT_TRUE(metrics.inFont(character)) << int(character.unicode());
  }
}

// The core of text drawn in the row colour; the antialiased edges are left out.
inline bool Red(QRgb pixel) {
  return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

// The smallest rectangle holding every pixel of area that passes the test; empty if none.
template <typename Test>
QRect Extent(const QImage& image, const QRect& area, Test test) {
  QRect found;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (test(image.pixel(x, y))) found |= QRect(x, y, 1, 1);
    }
  }
  return found;
}

inline QRect RedExtent(const QImage& image, const QRect& area) {
  return Extent(image, area, Red);
}

}  // namespace rowpixels

// The look the window suites pin for the whole application while a test runs (Fusion and a
// real DejaVu face), and a wait that keeps the GUI thread's events moving.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>

namespace uitest {

class PinnedLook {
 public:
  PinnedLook() : font_(QApplication::font()), style_(QApplication::style()->name()) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
  }
  ~PinnedLook() {
    QApplication::setFont(font_);
    QApplication::setStyle(style_);
  }

 private:
  QFont font_;
  QString style_;
};

// Runs the GUI thread's events until `done` holds; false when it still fails after 5 s.
template <typename Done>
bool WaitUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > 5000) return false;
    QApplication::processEvents();
    QThread::msleep(2);
  }
  return true;
}

// The bounds of what is drawn within `area` of the image in another colour than `background`;
// empty when nothing is.
inline QRect InkBounds(const QImage& image, const QRect& area, QRgb background) {
  QRect drawn;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) != background) drawn |= QRect(x, y, 1, 1);
  return drawn;
}

// Queued work and the deletion of closed windows, both done.
inline void Settle() {
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace uitest

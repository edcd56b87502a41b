#include "ui/ptv_aboutWin.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>

#include "ui/AboutPicture.h"
#include "ui/AuxiliaryWindow.h"
#include "ui/Frame.h"
#include "ui/SingleWindow.h"

namespace {

constexpr QRect kWindowFrame = Frame(100, 100, 500, 210);
constexpr QRect kViewFrame = Frame(0, 0, 400, 110);
constexpr QPoint kPicturePen(5, 5);

// Pens are text baselines.
struct TextLine {
  QPoint pen;
  int size;
  const char16_t* text;
};

constexpr TextLine kLines[] = {
    {{110, 43}, 25, u"pictrove " PICTROVE_VERSION},
    {{110, 63}, 12, u"by the pictrove developers"},
    {{110, 88}, 10, u"Canon\u2122 PowerShot\u2122 series download utility"},
};

// The film strip of the picture's edges continues across the window: two nine-row bands, the
// last of their 21 perforations flush with the bands' right end.
constexpr int kTopBand = 5;
constexpr int kBottomBand = 96;
constexpr int kBandLeft = 105;
constexpr int kBandRight = 395;
constexpr int kHoles = 21;
constexpr int kFirstHole = 111;
constexpr int kHolePitch = 14;

void DrawBand(QPainter& painter, int top) {
  painter.fillRect(Frame(kBandLeft, top, kBandRight, top + 8), Qt::black);
  for (int i = 0; i < kHoles; ++i) {
    const int left = kFirstHole + kHolePitch * i;
    painter.fillRect(Frame(left, top + 2, left + 4, top + 6), Qt::white);
  }
}

SingleWindow<ptv_aboutWin>& Window() {
  static SingleWindow<ptv_aboutWin> window;
  return window;
}

}  // namespace

ptv_aboutview::ptv_aboutview(QWidget* parent) : QWidget(parent), picture_(AboutPicture()) {
  setObjectName(QStringLiteral("aboutview"));
  setGeometry(kViewFrame);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
}

QFont ptv_aboutview::TextFont(int size) {
  const QString family = QStringLiteral("DejaVu Sans");
  QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QApplication::font();
  font.setPixelSize(size);
  return font;
}

void ptv_aboutview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  for (const TextLine& line : kLines) {
    painter.setFont(TextFont(line.size));
    painter.drawText(line.pen, QString::fromUtf16(line.text));
  }
  if (!picture_.isNull()) painter.drawImage(kPicturePen, picture_);
  DrawBand(painter, kTopBand);
  DrawBand(painter, kBottomBand);
}

ptv_aboutWin::ptv_aboutWin() : view_(new ptv_aboutview(this)) {
  setWindowTitle(QStringLiteral("About pictrove"));
  setGeometry(kWindowFrame);
  setFixedSize(kWindowFrame.size());
  setAttribute(Qt::WA_DeleteOnClose);
  CloseOnEscape(this);
}

void AboutRequested() {
  BringToFront(Window().Obtain([] { return new ptv_aboutWin; }));
}

ptv_aboutWin* AboutWindow() {
  return Window().Get();
}

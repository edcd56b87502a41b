// The About window: the program's name and version, an author line and a description beside
// a picture in a film-strip frame that runs on across the window. It has no controls.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

class ptv_aboutview : public QWidget {
 public:
  explicit ptv_aboutview(QWidget* parent);

  // Null when the picture could not be made; the rest is drawn all the same.
  const QImage& Picture() const { return picture_; }

  // The texts' face at `size` pixels: DejaVu Sans where it is installed, else the
  // application's font.
  static QFont TextFont(int size);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

class ptv_aboutWin : public QWidget {
 public:
  // Starts hidden; closing it deletes it.
  ptv_aboutWin();

  ptv_aboutview* View() const { return view_; }

 private:
  ptv_aboutview* view_;
};

// Brings the About window to the front, making one when there is none. GUI thread only.
void AboutRequested();
// The About window as it is now; none when there is none.
ptv_aboutWin* AboutWindow();

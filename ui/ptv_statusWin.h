// The status window: one line of text above a progress bar, for long camera operations.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>

class QProgressBar;
class QPushButton;

class ptv_statview : public QWidget {
  Q_OBJECT

 public:
  // `text` may be none: the line starts empty.
  ptv_statview(uint64_t total, const char* text, QWidget* parent);

  // Empties the bar and makes `total` its maximum; the line stays. A new run begins: its
  // figures start from nothing.
  void reset(uint64_t total);
  // Advances the bar by `n` and, when `text` is given, replaces the line.
  void updatestatus(uint32_t n, const char* text);
  // The picture whose data comes next, by its camera path.
  void SetPicture(const char* path);

  const QString& Line() const { return line_; }
  // Under the bar: the picture's name, bytes done of the total, the rate and the time left,
  // redrawn a few times a second at most.
  QString FiguresLine() const;
  // The bar in bytes, exactly; the widget itself may count in coarser steps.
  uint64_t Value() const { return value_; }
  uint64_t Maximum() const { return maximum_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetLine(const char* text);
  void ShowProgress();
  // Recomputes the figures now when the last time is long enough ago, else once it is.
  void RefreshFigures();
  void ShowFigures();

  QString line_;
  QString name_;
  QString figures_;
  QElapsedTimer run_;
  QElapsedTimer shown_;
  QTimer pending_;
  uint64_t value_ = 0;
  uint64_t maximum_ = 0;
  QProgressBar* bar_;
};

class ptv_statusWin : public QWidget {
  Q_OBJECT

 public:
  // Starts hidden.
  ptv_statusWin(uint64_t total, const char* text);

  void reset(uint64_t total) { view_->reset(total); }
  void updatestatus(uint32_t n, const char* text) { view_->updatestatus(n, text); }
  void SetPicture(const char* path) { view_->SetPicture(path); }
  // Whether the operation shown can be stopped: "Cancel" is offered only then.
  void SetCancellable(bool cancellable);

  ptv_statview* View() const { return view_; }
  QPushButton* CancelButton() const { return cancel_; }

 signals:
  // The user closed the window; it is destroyed as soon as the event loop gets to it.
  void Closed();
  // The user asked to stop the operation, with "Cancel" or by closing the window.
  void CancelRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Cancel();

  ptv_statview* view_;
  QPushButton* cancel_;
};

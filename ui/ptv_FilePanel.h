// The download folder panel: a folder chooser answering the application with the folder
// selected in it ("Select") or the folder it shows ("Select Current Directory").
#pragma once

#include <QFileDialog>

class QPushButton;

class ptv_FilePanel : public QFileDialog {
  Q_OBJECT

 public:
  // Starts hidden, in the user's pictures folder.
  ptv_FilePanel();

  void SetPanelDirectory(const QString& path) { setDirectory(path); }
  // Whether the folder it answers with is for a download that deletes what it has saved.
  void SetDeleting(bool deleting) { deleting_ = deleting; }
  // Shows the panel without waiting for its answer.
  void Show();

  // None when the dialog has no Cancel button to place it by.
  QPushButton* CurrentDirButton() const { return current_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void HideFileTypes();
  void AddCurrentDirButton();
  // Beside Cancel: same top and bottom, 10 to its left, 40 wider than its label.
  void PlaceCurrentDirButton();
  void SelectCurrent();
  void SelectChosen(const QStringList& folders);

  QPushButton* cancel_ = nullptr;
  QPushButton* current_ = nullptr;
  bool deleting_ = false;
};

// The upload panel: a chooser of one existing file, answering the application with the file
// to send to the camera.
#pragma once

#include <QFileDialog>

#include "ui/WindowTarget.h"

class UploadPanel : public QFileDialog {
 public:
  // Starts hidden; the chosen file goes to `target` as 'UPLO'.
  explicit UploadPanel(WindowTarget target = WindowTarget());

 private:
  void FileChosen(const QString& file);

  WindowTarget target_;
};

// Shows the upload panel without waiting for its answer; the panel is made at the first
// call, not at start-up, and kept until the event loop ends. GUI thread only.
void ShowUploadPanel();
// The panel once it has been made; none before.
UploadPanel* CurrentUploadPanel();

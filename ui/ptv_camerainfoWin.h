// The camera information window: what the camera last reported about itself, and the owner
// name, which the user can edit and send to the camera.
#pragma once

#include <QWidget>

#include "camera/CameraHost.h"

class QLabel;
class QLineEdit;

class ptv_camerainfoWin : public QWidget {
  Q_OBJECT

 public:
  // Starts hidden, filled from `facts` as Update fills it.
  explicit ptv_camerainfoWin(const CameraFacts& facts);

  // Model, owner, storage, power and clock lines from `facts`.
  void Update(const CameraFacts& facts);

 signals:
  // The user closed the window; it is destroyed as soon as the event loop gets to it.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // "Set": the application sends the name to the camera and keeps it.
  void SendOwnerName();

  QLabel* model_;
  QLabel* storage_;
  QLabel* power_;
  QLabel* clock_;
  QLineEdit* owner_;
};

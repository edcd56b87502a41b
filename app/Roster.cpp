#include "app/Roster.h"

#include "app/ptv_App.h"

// Stopped here, while DeviceRemoved can still reach the application.
Roster::~Roster() {
  Stop();
}

int Roster::DeviceAdded(USBDevice* device) {
  app->CameraAdded(device);
  return 0;
}

void Roster::DeviceRemoved(USBDevice* device) {
  app->CameraRemoved(device);
}

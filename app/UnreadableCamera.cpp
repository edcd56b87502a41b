// A Canon camera pictrove cannot read: the windows say so where the list would be.
#include "app/AppWindows.h"
#include "app/ptv_App.h"
#include "models/CameraModels.h"

void ptv_App::UnreadableCamera(uint16_t product) {
  windows_.ShowUnreadableCamera(models::UnreadableCameraText(product).c_str());
}

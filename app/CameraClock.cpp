// The camera's clock: read with the other camera facts, set to the computer's local time.
#include <cstdio>

#include "app/AppWindows.h"
#include "app/ClockText.h"
#include "app/ptv_App.h"
#include "camera/err_req.h"
#include "camera/ixus_clock.h"

void ptv_App::ReadClock(USBDevice* camera) {
  uint32_t seconds;
  if (!ixus_getclock(camera, camerabuffer, &seconds)) return;
  facts.clock_read = true;
  facts.clock = seconds;
  facts.clock_ahead = int64_t(seconds) - LocalSeconds(time(nullptr));
}

bool ptv_App::SetCameraClock() {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return false;
  int64_t now = LocalSeconds(time(nullptr));
  int64_t status = now < 0 || now > int64_t(UINT32_MAX)
                       ? -1
                       : ixus_setclock(camera, camerabuffer, uint32_t(now));
  ReadClock(camera);
  windows_.UpdateCameraInfo(facts);
  CloseCamera();
  // The alert waits for the user: never with the camera held.
  if (status == -1) err_req("The camera's clock could not be set.");
  if (status > 0) {
    char text[80];
    snprintf(text, sizeof text, "The camera did not take the time (status 0x%08llX).",
             static_cast<unsigned long long>(status));
    err_req(text);
  }
  return status == 0;
}

// pictrove on this machine's USB: libusb on the usbfs nodes, inotify on /dev/bus/usb.
#include <QApplication>

#include "kit/Platform.h"
#include "ui/RunPictrove.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  kit::InstallPlatform(kit::MakeHostPlatform());
  return RunPictrove(qt);
}

// pictrove with a simulated camera plugged in: its own generated card (pictures, a sound
// note, a movie and a raw picture), or the files of the folder given that a camera could
// have written.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "kit/Platform.h"
#include "sim/DemoPace.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "ui/RunPictrove.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QStringList arguments = qt.arguments();
  if (arguments.size() > 2) {
    fprintf(stderr, "usage: pictrove-demo [FOLDER]\n");
    return 2;
  }
  auto platform = std::make_shared<sim::SimPlatform>();
  auto camera = std::make_shared<sim::SimCamera>(0x3049);
  size_t files = arguments.size() == 2
                     ? camera->LoadFolder(arguments[1].toLocal8Bit().toStdString())
                     : camera->LoadGenerated();
  if (files == 0) fprintf(stderr, "pictrove-demo: the camera holds no files\n");
  sim::PaceFromEnvironment(*camera, "pictrove-demo");
  platform->Bus().Plug("/dev/bus/usb/001/002", camera);
  kit::InstallPlatform(platform);
  return RunPictrove(qt);
}

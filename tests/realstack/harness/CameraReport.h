// What the emulated camera holds and what it was asked, as lines for a test script:
//   picture PATH ATTRIBUTES   every picture, attributes in hex
//   thumbnail PATH            every thumbnail request, in order
//   file PATH                 every whole-picture request, in order
//   problem TEXT              everything the camera found wrong
#pragma once

#include <string>

#include "sim/SimCamera.h"

namespace realstack {

std::string CameraReport(const sim::SimCamera& camera);

// Writes the camera's pictures into the folder under their own names.
bool ExportPictures(const sim::SimCamera& camera, const std::string& folder);

}  // namespace realstack

// Folders and cameras that tests make for themselves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "tests/support/ScratchFolder.h"

namespace testsupport {

std::string ReadWholeFile(const std::string& path);

// A camera holding new pictures made to these descriptions in 100CANON.
std::shared_ptr<sim::SimCamera> CameraWith(const std::vector<sim::PictureSpec>& pictures);

}  // namespace testsupport

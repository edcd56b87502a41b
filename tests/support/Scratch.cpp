#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace testsupport {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::shared_ptr<sim::SimCamera> CameraWith(const std::vector<sim::PictureSpec>& pictures) {
  auto camera = std::make_shared<sim::SimCamera>();
  for (const sim::PictureSpec& spec : pictures)
    camera->AddFile("100CANON", {spec.name, sim::kAttributeNew, spec.date, sim::MakePicture(spec)});
  return camera;
}

}  // namespace testsupport

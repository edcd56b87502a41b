#include "tests/camera/download_fixture.h"

#include <optional>

#include "camera/ixus_getfile.h"

namespace download_test {

sim::CameraFile Counting(size_t size, const std::string& name) {
  sim::CameraFile file;
  file.name = name;
  file.date = 1000;
  file.bytes.resize(size);
  for (size_t i = 0; i < size; i++) file.bytes[i] = uint8_t(i * 7 + i / 251);
  return file;
}

std::unique_ptr<pic_Item> Record(const char* path, uint32_t orientation, uint32_t xres,
                                 uint32_t yres, uint32_t flash, uint32_t date) {
  auto record = std::make_unique<pic_Item>();
  record->set_Name(path);
  record->set_Attrs(0x20);
  record->set_XRes(xres);
  record->set_YRes(yres);
  record->set_Flash(flash);
  record->set_Orientation(orientation);
  record->set_Date(date);
  return record;
}

kit::RawReply IntrudingCamera::HandlePipe(sim::TransferKind kind, uint8_t endpoint, uint8_t* data,
                                          uint32_t* length) {
  if (++reads_ == 3) WriteFile(name_, {'m', 'i', 'n', 'e'});
  return SimCamera::HandlePipe(kind, endpoint, data, length);
}

bool Download::Get(const char* path, pic_Item* record) {
  // The listing gives every record its picture's size.
  if (record->size == 0)
    if (std::optional<sim::CameraFile> file = camera->FindFile(path))
      record->set_Size(file->Size());
  testing::internal::CaptureStderr();
  bool result = ixus_getfile(plugged->Device(), host.CameraBuffer(), path, record);
  printed = testing::internal::GetCapturedStderr();
  return result;
}

bool Download::GetExample(uint32_t orientation) {
  std::unique_ptr<pic_Item> record = Record(kExamplePath, orientation);
  return Get(kExamplePath, record.get());
}

}  // namespace download_test

#include "tests/camera/upload_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "camera/ixus_sendfile.h"

namespace upload_test {

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; i++) bytes[i] = uint8_t(i * 7 + i / 768);
  return bytes;
}

SourceFolder::SourceFolder() {
  char path[] = "/tmp/pictrove-upload-XXXXXX";
  if (mkdtemp(path) == nullptr) ADD_FAILURE() << "mkdtemp";
  path_ = path;
}

SourceFolder::~SourceFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string SourceFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  std::ofstream file(Path(name), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) ADD_FAILURE() << "could not write " << name;
  return Path(name);
}

void UploadHost::closestatus() {
  RecordingHost::closestatus();
  alerts_at_close.push_back(alerts_.Requests().size());
}

void UploadHost::updatestatus(unsigned long delta, const char* text) {
  RecordingHost::updatestatus(delta, text);
  if (on_progress) on_progress(delta);
}

UploadTest::UploadTest(std::shared_ptr<sim::SimDevice> device)
    : device_(device), plugged_(std::move(device)) {}

bool UploadTest::Upload(const std::string& path) {
  size_t before = plugged_.Transfers().size();
  bool sent = ixus_sendfile(plugged_.Device(), host_.CameraBuffer(), path.c_str());
  std::vector<sim::TransferRecord> all = plugged_.Transfers();
  transfers_.assign(all.begin() + long(before), all.end());
  return sent;
}

std::vector<uint8_t> UploadTest::OnCamera() const {
  auto* camera = dynamic_cast<sim::SimCamera*>(device_.get());
  std::optional<sim::CameraFile> file = camera ? camera->FindFile(kCameraPath) : std::nullopt;
  if (!file) return {};
  std::vector<uint8_t> bytes(file->Size());
  file->Read(0, bytes.data(), bytes.size());
  return bytes;
}

}  // namespace upload_test

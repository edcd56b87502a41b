#include "tests/realstack/harness/CameraReport.h"

#include <fstream>

#include "sim/Bytes.h"
#include "sim/CommandBlock.h"

namespace realstack {

namespace {

constexpr uint8_t kPictureDataCode = 1;
constexpr uint8_t kPictureClass = 0x11;
constexpr uint32_t kThumbnail = 1;

std::string PicturePath(const std::string& drive, const sim::CameraFolder& folder,
                        const sim::CameraFile& file) {
  return drive + "\\DCIM\\" + folder.name + "\\" + file.name;
}

void AddRequests(const sim::SimCamera& camera, std::string& report) {
  for (const sim::TransferRecord& record : camera.Transfers()) {
    if (record.kind != sim::TransferKind::kControl || record.IsInput()) continue;
    std::string problem;
    std::optional<sim::CommandBlock> block =
        sim::ParseCommandBlock(record.data.data(), uint32_t(record.data.size()), &problem);
    if (!block || block->code != kPictureDataCode || block->command_class != kPictureClass ||
        block->payload.size() < 8)
      continue;
    std::optional<std::string> path = sim::PayloadText(*block, 8);
    bool thumbnail = sim::ReadLittle32(block->payload.data()) == kThumbnail;
    report += (thumbnail ? "thumbnail " : "file ") + path.value_or("?") + "\n";
  }
}

}  // namespace

std::string CameraReport(const sim::SimCamera& camera) {
  std::string report;
  std::string drive = camera.DriveName();
  for (const sim::CameraFolder& folder : camera.Folders())
    for (const sim::CameraFile& file : folder.files) {
      char attributes[8];
      snprintf(attributes, sizeof attributes, "%02x", file.attributes);
      report += "picture " + PicturePath(drive, folder, file) + " " + attributes + "\n";
    }
  AddRequests(camera, report);
  for (const std::string& problem : camera.Problems()) report += "problem " + problem + "\n";
  return report;
}

bool ExportPictures(const sim::SimCamera& camera, const std::string& folder) {
  for (const sim::CameraFolder& camera_folder : camera.Folders())
    for (const sim::CameraFile& file : camera_folder.files) {
      std::vector<uint8_t> bytes(file.Size());
      file.Read(0, bytes.data(), bytes.size());
      std::ofstream out(folder + "/" + file.name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
      if (!out.flush()) return false;
    }
  return true;
}

}  // namespace realstack

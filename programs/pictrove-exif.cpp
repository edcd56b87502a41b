// pictrove-exif FILE...: what the thumbnail loader would find in each picture. Each file's
// start, up to the end of its EXIF segment, is served by a simulated input pipe in 4096-byte
// pieces, exactly as a camera's thumbnail reply arrives, and parsed as such. One line a
// file: name, ok or failed, X and Y resolution, flash, orientation, thumbnail size or none.
#include <turbojpeg.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "exif/ixus_exifparse.h"
#include "kit/JpegSegments.h"
#include "sim/SimPlatform.h"
#include "sim/StreamDevice.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

namespace {

constexpr const char* kNode = "/dev/bus/usb/001/001";

// Up to the end of the APP1 segment; the whole file when it has none or is cut short in it.
std::vector<uint8_t> ThumbnailReply(std::vector<uint8_t> file) {
  for (const kit::JpegSegment& segment : kit::HeadSegments(file)) {
    if (segment.marker == kit::kApp1Marker) {
      file.resize(segment.end);
      break;
    }
  }
  return file;
}

std::string ThumbnailSize(const kit::ByteStream& thumbnail) {
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  tjhandle handle = tjInitDecompress();
  bool decoded = handle != nullptr && thumbnail.Size() > 0 &&
                 tjDecompressHeader3(handle, thumbnail.Data(), thumbnail.Size(), &width, &height,
                                     &subsampling, &colourspace) == 0;
  if (handle != nullptr) tjDestroy(handle);
  return decoded ? std::to_string(width) + "x" + std::to_string(height) : "none";
}

// Parses one reply through a fresh simulated device; false when the pipe cannot be opened.
bool Parse(const std::vector<uint8_t>& reply, pic_Item* picture, kit::ByteStream* thumbnail,
           bool* parsed) {
  auto platform = std::make_shared<sim::SimPlatform>();
  kit::InstallPlatform(platform);
  std::vector<uint32_t> pieces((reply.size() + 4095) / 4096, 4096);
  if (!sim::PlugStream(*platform, kNode, reply, pieces)) return false;
  USBDevice device(kNode);
  if (device.InitCheck() != 0 || device.SetConfiguration(device.ConfigurationAt(0)) != 0)
    return false;
  const USBEndpoint* endpoint = device.ActiveConfiguration()->InterfaceAt(0)->EndpointAt(0);
  std::vector<unsigned char> buffer(5200);
  *parsed = ixus_exifparse(endpoint, buffer.data(), thumbnail, reply.size(), picture);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::string path = argv[i];
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      fprintf(stderr, "%s: cannot read\n", path.c_str());
      status = 1;
      continue;
    }
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    pic_Item picture;
    kit::ByteStream thumbnail;
    bool parsed = false;
    if (!Parse(ThumbnailReply(std::move(file)), &picture, &thumbnail, &parsed)) {
      fprintf(stderr, "%s: no simulated pipe\n", path.c_str());
      return 1;
    }
    printf("%s %s %u %u %u %u %s\n", name.c_str(), parsed ? "ok" : "failed", picture.xres,
           picture.yres, picture.flash, picture.orientation, ThumbnailSize(thumbnail).c_str());
  }
  return status;
}

// make_exif_seeds SAMPLES_DIR OUT_DIR: the exif_fuzz seed corpus. From each camera sample
// its thumbnail reply whole, in an awkward schedule of reads and cut after its directories;
// from the picture maker the replies of its demo pictures.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/ExifFuzzInput.h"
#include "kit/JpegSegments.h"
#include "sim/PictureMaker.h"

namespace {

// Reads of 1, 0, 7, 0 and 4064 bytes, then of 100.
const std::vector<uint8_t> kAwkward = {1, 0, 7, 0, 255, 100, 100, 100};
// Enough for the directories of every sample, not for their thumbnails.
constexpr size_t kDirectoriesOnly = 1600;

bool Write(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return bool(out);
}

std::vector<uint8_t> Reply(std::vector<uint8_t> file) {
  file.resize(kit::ThumbnailReplyLength(file));
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SAMPLES_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  std::string out = std::string(argv[2]) + "/";
  bool ok = true;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
    if (entry.path().extension() == ".jpg") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const std::filesystem::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> reply = Reply({std::istreambuf_iterator<char>(in), {}});
    std::string name = file.stem().string();
    ok &= Write(out + name, fuzzinput::Encode({}, reply));
    ok &= Write(out + name + "-awkward", fuzzinput::Encode(kAwkward, reply));
    reply.resize(std::min(reply.size(), kDirectoriesOnly));
    ok &= Write(out + name + "-cut", fuzzinput::Encode({}, reply));
  }
  for (const sim::PictureSpec& spec : sim::DemoPictures()) {
    std::string name = "made-" + spec.name.substr(0, spec.name.find('.'));
    ok &= Write(out + name, fuzzinput::Encode({}, Reply(sim::MakePicture(spec))));
  }
  return ok ? 0 : 1;
}

#include "sim/DemoCard.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "sim/Bytes.h"
#include "sim/GeneratedPicture.h"
#include "sim/PictureMaker.h"

namespace sim {

namespace {

constexpr uint32_t kSampleRate = 8000;
constexpr double kTone = 440;
constexpr double kFade = 0.1;       // seconds
constexpr size_t kSoundNoteOf = 6;  // IMG_0007.JPG
// Recorded in playback a little after the last picture was taken.
constexpr uint32_t kSoundNoteAfter = 600;
constexpr uint32_t kDateStep = 11873;  // as far apart as the pictures

void AppendTag(std::vector<uint8_t>& bytes, const char* tag) {
  bytes.insert(bytes.end(), tag, tag + 4);
}

CameraFile HeldFile(const std::string& name, uint32_t date, std::vector<uint8_t> bytes) {
  return {name, kAttributeNew, date, std::move(bytes)};
}

}  // namespace

CameraFile MakeSoundNote(const std::string& name, uint32_t date, double seconds,
                         uint8_t attributes) {
  uint32_t samples = uint32_t(std::max(0.0, seconds) * kSampleRate);
  std::vector<uint8_t> bytes;
  AppendTag(bytes, "RIFF");
  AppendLittle32(bytes, 36 + samples + samples % 2);
  AppendTag(bytes, "WAVE");
  AppendTag(bytes, "fmt ");
  AppendLittle32(bytes, 16);
  AppendLittle32(bytes, 1 | 1 << 16);  // PCM, one channel
  AppendLittle32(bytes, kSampleRate);
  AppendLittle32(bytes, kSampleRate);  // bytes a second
  AppendLittle32(bytes, 1 | 8 << 16);  // one byte a frame, eight bits a sample
  AppendTag(bytes, "data");
  AppendLittle32(bytes, samples);
  for (uint32_t i = 0; i < samples; ++i) {
    double t = double(i) / kSampleRate;
    double envelope = std::min({1.0, t / kFade, (double(samples) / kSampleRate - t) / kFade});
    bytes.push_back(
        uint8_t(std::lround(128 + 90 * envelope * std::sin(2 * std::numbers::pi * kTone * t))));
  }
  if (samples % 2 != 0) bytes.push_back(0);  // a chunk is padded to an even length
  return {name, attributes, date, std::move(bytes)};
}

std::vector<CameraFile> MakeMovieFiles(const std::string& base, uint32_t size, uint32_t date) {
  PictureSpec thumbnail{base + ".THM", kMovieWidth, kMovieHeight, 1, 0, date};
  return {MakeMovie(base + ".AVI", size, date),
          HeldFile(thumbnail.name, date, MakeThumbnailFile(thumbnail, ThumbnailFor::kMovie))};
}

std::vector<CameraFile> DemoCard(size_t limit) {
  std::vector<CameraFile> files;
  auto add = [&](auto make) {
    if (files.size() >= limit) return;
    CameraFile file = make();
    if (file.Size() != 0) files.push_back(std::move(file));
  };
  std::vector<PictureSpec> pictures = DemoPictures();
  for (const PictureSpec& spec : pictures)
    add([&] { return HeldFile(spec.name, spec.date, MakePicture(spec)); });

  uint32_t date = pictures.back().date;

  date += kDateStep;
  for (CameraFile& file : MakeMovieFiles("MVI_0013", kDemoMovieSize, date))
    add([&] { return std::move(file); });

  date += kDateStep;
  PictureSpec raw{"CRW_0014.THM", 2048, 1536, 1, 0, date};
  add([&] { return MakeRawPicture("CRW_0014.CRW", kDemoRawSize, date); });
  add([&] { return HeldFile(raw.name, date, MakeThumbnailFile(raw, ThumbnailFor::kRaw)); });

  std::string noted = pictures[kSoundNoteOf].name.substr(0, 8) + ".WAV";
  add([&] { return MakeSoundNote(noted, date + kSoundNoteAfter); });
  return files;
}

}  // namespace sim

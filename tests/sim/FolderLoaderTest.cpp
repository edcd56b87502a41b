#include "sim/FolderLoader.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "tests/support/Samples.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kIxusDate = 992099852;  // 2001-06-09 15:17:32 UTC

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "simloadXXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path_); }

  void Write(const std::string& name, const std::vector<uint8_t>& bytes,
             time_t modified = 1000000000) const {
    std::ofstream(fs::path(path_) / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    utimbuf times{modified, modified};
    utime((fs::path(path_) / name).c_str(), &times);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

std::vector<std::string> NamesOf(const std::vector<sim::CameraFile>& files) {
  std::vector<std::string> names;
  for (const auto& file : files) names.push_back(file.name);
  return names;
}

TEST(FolderLoader, KeepsCameraNamesAndNumbersTheRest) {
  EXPECT_EQ(sim::CameraNames(
                {"IMG_0001.JPG", "IMG_0003.JPG", "LONGNAME12.JPG", "a.JPG", "b.jpg", "c.jpg"}),
            (std::vector<std::string>{"IMG_0001.JPG", "IMG_0003.JPG", "IMG_0002.JPG",
                                      "IMG_0004.JPG", "IMG_0005.JPG", "IMG_0006.JPG"}));
}

// Every file whose name a camera could have written is served under it, whatever its kind;
// JPEG files are served as pictures under camera names of their own; the rest stay out.
TEST(FolderLoader, ServesEveryKindUnderACameraNameAndDatesIt) {
  std::vector<uint8_t> plain = {0xFF, 0xD8, 0xFF, 0xD9};
  sim::PictureSpec spec{"MVI_0004.THM", 320, 240, 1, 0, 1234567890};
  std::vector<uint8_t> thumbnail = sim::MakeThumbnailFile(spec, sim::ThumbnailFor::kMovie);
  const struct {
    const char* source;
    const std::vector<uint8_t>& bytes;
    time_t modified;
    const char* served;  // "": left out
    uint32_t date;
  } files[] = {
      // JPEG files: in name order, camera names kept, the others numbered.
      {"IMG_0001.JPG", plain, 1100000000, "IMG_0001.JPG", 1100000000},
      {"beach.JPG", plain, 1000000001, "IMG_0002.JPG", 1000000001},
      {"holiday.jpg", plain, 1000000000, "IMG_0003.JPG", 1000000000},
      {"odd.Jpg", plain, 1, "", 0},
      {"movie.jpeg", plain, 1, "", 0},
      // Other kinds: kept under their camera names; a thumbnail file dated by its EXIF.
      {"MVI_0004.AVI", plain, 1200000000, "MVI_0004.AVI", 1200000000},
      {"MVI_0004.THM", thumbnail, 1000000000, "MVI_0004.THM", 1234567890},
      {"CRW_0005.THM", plain, 1300000000, "CRW_0005.THM", 1300000000},
      {"CRW_0005.CRW", plain, 1300000001, "CRW_0005.CRW", 1300000001},
      {"IMG_0001.WAV", thumbnail, 1100000001, "IMG_0001.WAV", 1100000001},  // EXIF unread
      {"A.B", plain, 2, "A.B", 2},
      {"ABCDEFGH.XYZ", plain, 3, "ABCDEFGH.XYZ", 3},
      {"notes.txt", plain, 1, "", 0},
      {"mvi_0006.avi", plain, 1, "", 0},
      {"LONGNAME1.AVI", plain, 1, "", 0},
      {"A.B.C", plain, 1, "", 0},
      {".AVI", plain, 1, "", 0},
  };
  TempFolder folder;
  for (const auto& file : files) folder.Write(file.source, file.bytes, file.modified);
  fs::create_directory(fs::path(folder.Path()) / "sub.jpg");
  fs::create_directory(fs::path(folder.Path()) / "DIR.AVI");

  std::vector<sim::CameraFile> loaded = sim::LoadCardFolder(folder.Path());
  std::map<std::string, const sim::CameraFile*> by_name;
  for (const sim::CameraFile& file : loaded) by_name[file.name] = &file;
  EXPECT_EQ(by_name.size(), loaded.size());
  EXPECT_TRUE(std::is_sorted(loaded.begin(), loaded.end(),
                             [](const auto& a, const auto& b) { return a.name < b.name; }));
  size_t served = 0;
  for (const auto& file : files) {
    EXPECT_EQ(sim::IsCameraName(file.source), file.served == std::string(file.source))
        << file.source;
    if (*file.served == 0) continue;
    ++served;
    auto found = by_name.find(file.served);
    ASSERT_NE(found, by_name.end()) << file.source;
    EXPECT_EQ(found->second->date, file.date) << file.source;
    EXPECT_EQ(found->second->attributes, 0x20) << file.source;
    EXPECT_EQ(found->second->bytes, file.bytes) << file.source;
  }
  EXPECT_EQ(loaded.size(), served);
}

TEST(FolderLoader, DatesByDateTimeOriginalWhenThereIsOne) {
  TempFolder folder;
  sim::PictureSpec spec;
  spec.date = 1234567890;
  folder.Write("made.jpg", sim::MakePicture(spec), 1000000000);
  std::vector<sim::CameraFile> files = sim::LoadCardFolder(folder.Path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].date, 1234567890u);
}

TEST(FolderLoader, LoadsTheSamplesIntoTheCamerasFolder) {
  SKIP_WITHOUT_SAMPLES();
  sim::SimCamera camera;
  EXPECT_EQ(camera.LoadFolder(testsupport::SamplesDirectory()), 4u);
  std::vector<sim::CameraFolder> folders = camera.Folders();
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].name, "100CANON");
  EXPECT_EQ(NamesOf(folders[0].files), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG",
                                                                 "IMG_0003.JPG", "IMG_0004.JPG"}));
  EXPECT_EQ(folders[0].files[0].date, kIxusDate) << "canon-ixus.jpg comes first by name";
  EXPECT_TRUE(camera.FindFile("D:\\DCIM\\100CANON\\IMG_0004.JPG").has_value());
}

}  // namespace

#include "sim/FolderLoader.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

#include "kit/ExifDate.h"
#include "kit/JpegSegments.h"
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
  EXPECT_TRUE(sim::IsCameraName("IMG_0001.JPG"));
  EXPECT_TRUE(sim::IsCameraName("A.JPG"));
  EXPECT_FALSE(sim::IsCameraName("img_0001.JPG"));
  EXPECT_FALSE(sim::IsCameraName("IMG_0001.jpg"));
  EXPECT_FALSE(sim::IsCameraName("LONGNAME1.JPG"));
  EXPECT_FALSE(sim::IsCameraName(".JPG"));
  EXPECT_FALSE(sim::IsCameraName("MY PIC.JPG"));
  EXPECT_EQ(sim::CameraNames(
                {"IMG_0001.JPG", "IMG_0003.JPG", "LONGNAME12.JPG", "a.JPG", "b.jpg", "c.jpg"}),
            (std::vector<std::string>{"IMG_0001.JPG", "IMG_0003.JPG", "IMG_0002.JPG",
                                      "IMG_0004.JPG", "IMG_0005.JPG", "IMG_0006.JPG"}));
}

TEST(FolderLoader, TakesOnlyJpegFilesAndDatesThemByModificationTime) {
  TempFolder folder;
  std::vector<uint8_t> plain = {0xFF, 0xD8, 0xFF, 0xD9};
  folder.Write("holiday.jpg", plain, 1000000000);
  folder.Write("IMG_0001.JPG", plain, 1100000000);
  folder.Write("beach.JPG", plain);
  folder.Write("notes.txt", plain);
  folder.Write("movie.jpeg", plain);
  folder.Write("odd.Jpg", plain);
  fs::create_directory(fs::path(folder.Path()) / "sub.jpg");

  std::vector<sim::CameraFile> files = sim::LoadPictureFolder(folder.Path());
  // Name order: IMG_0001.JPG, beach.JPG, holiday.jpg.
  EXPECT_EQ(NamesOf(files),
            (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].date, 1100000000u);
  EXPECT_EQ(files[2].date, 1000000000u);
  for (const auto& file : files) {
    EXPECT_EQ(file.attributes, 0x20);
    EXPECT_EQ(file.bytes, plain);
  }
}

TEST(FolderLoader, DatesByDateTimeOriginalWhenThereIsOne) {
  TempFolder folder;
  sim::PictureSpec spec;
  spec.date = 1234567890;
  folder.Write("made.jpg", sim::MakePicture(spec), 1000000000);
  std::vector<sim::CameraFile> files = sim::LoadPictureFolder(folder.Path());
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

TEST(FolderLoader, GeneratedContentIsTheDemoSet) {
  sim::SimCamera camera;
  std::vector<sim::PictureSpec> specs = sim::DemoPictures();
  ASSERT_EQ(camera.LoadGenerated(), specs.size());
  std::vector<sim::CameraFile> files = camera.Folders().at(0).files;
  ASSERT_EQ(files.size(), specs.size());
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].name, specs[i].name);
    EXPECT_EQ(files[i].date, specs[i].date);
    EXPECT_EQ(files[i].attributes, 0x20);
    EXPECT_EQ(kit::DateTimeOriginal(files[i].bytes), specs[i].date) << files[i].name;
    EXPECT_LT(kit::ThumbnailReplyLength(files[i].bytes), files[i].bytes.size());
  }
}

}  // namespace

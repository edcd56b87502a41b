// Camera paths as the listing is walked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/CameraPath.h"
#include "camera/ixus_dir.h"
#include "tests/camera/listing_bytes.h"

namespace listing_test {
namespace {

// Walks a listing of the entries and gives the path of each picture among them.
std::vector<std::string> PicturePaths(const std::vector<Entry>& entries) {
  std::vector<uint8_t> bytes = EncodeListing(entries);
  ixus_direntry* first = ixus_parsedir(bytes.data(), bytes.size());
  std::vector<std::string> pictures;
  ixus_walkpictures(first,
                    [&](const ixus_direntry*, const char* path) { pictures.push_back(path); });
  ixus_freedir(first);
  return pictures;
}

// Folders and drives have size 0, pictures a size of their own.
std::vector<std::string> PicturePaths(const std::vector<std::string>& names) {
  std::vector<Entry> entries;
  for (const std::string& name : names)
    entries.push_back({0x20, CameraPath::IsPicture(name.c_str()) ? 1000u : 0u, 0, name});
  return PicturePaths(entries);
}

TEST(CameraPath, ExampleTree) {
  std::vector<std::string> pictures =
      PicturePaths({"D:", ".\\DCIM", ".\\112CANON", "IMG_1205.JPG", "..", ".\\113CANON",
                    "IMG_1300.JPG", "..", ".."});
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0], "D:\\DCIM\\112CANON\\IMG_1205.JPG");
  EXPECT_EQ(pictures[1], "D:\\DCIM\\113CANON\\IMG_1300.JPG");
}

TEST(CameraPath, OnlyUpperCaseJpgLongerThanFourIsAPicture) {
  EXPECT_TRUE(CameraPath::IsPicture("IMG_0001.JPG"));
  EXPECT_TRUE(CameraPath::IsPicture("A.JPG"));
  EXPECT_FALSE(CameraPath::IsPicture(".JPG"));
  EXPECT_FALSE(CameraPath::IsPicture("IMG_0001.jpg"));
  EXPECT_FALSE(CameraPath::IsPicture("MVI_0002.AVI"));
  EXPECT_FALSE(CameraPath::IsPicture("IMG_0001.JPGX"));
  EXPECT_FALSE(CameraPath::IsPicture(""));
}

TEST(CameraPath, DotDotAtTheTopStaysOnTheDrive) {
  std::vector<std::string> pictures = PicturePaths({"..", "D:", "..", "..", ".\\DCIM", "A.JPG"});
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0], "D:\\DCIM\\A.JPG");
}

TEST(CameraPath, DotDotBeforeAnyDriveKeepsItEmpty) {
  CameraPath path;
  path.Follow("..", 0);
  EXPECT_EQ(path.Text(), "");
  path.Follow(".\\DCIM", 0);
  path.Follow("..", 0);
  path.Follow("..", 0);
  EXPECT_EQ(path.Text(), "");
}

TEST(CameraPath, DotDotNeverCutsIntoTheDriveName) {
  CameraPath path;
  path.Follow("D:\\CARD", 0);
  path.Follow(".\\DCIM", 0);
  path.Follow("..", 0);
  EXPECT_EQ(path.Text(), "D:\\CARD");
  path.Follow("..", 0);
  EXPECT_EQ(path.Text(), "D:\\CARD");
}

TEST(CameraPath, NewDriveReplacesThePath) {
  std::vector<std::string> pictures = PicturePaths({"D:", ".\\DCIM", "E:", ".\\X", "B.JPG"});
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0], "E:\\X\\B.JPG");
}

// A file entry with a folder's or a drive's name, or a name no file can have, is one file:
// it never moves the path of the pictures after it, in any folder.
TEST(CameraPath, FileEntriesNeverMoveThePath) {
  for (const char* name : {"..", ".\\X", "X:", "A\\B.JPG", "..\\C.JPG", ".\\A.JPG", "E:A.JPG",
                           "A/B.JPG", "\x01.JPG", "."}) {
    std::vector<std::string> pictures = PicturePaths({{0, 0, 0, "D:"},
                                                      {0, 0, 0, ".\\DCIM"},
                                                      {0, 0, 0, ".\\112CANON"},
                                                      {0x20, 5, 0, name},
                                                      {0x20, 9, 0, "IMG_0001.JPG"},
                                                      {0, 0, 0, ".."},
                                                      {0, 0, 0, ".\\113CANON"},
                                                      {0x20, 9, 0, "IMG_0002.JPG"}});
    EXPECT_EQ(pictures, (std::vector<std::string>{"D:\\DCIM\\112CANON\\IMG_0001.JPG",
                                                  "D:\\DCIM\\113CANON\\IMG_0002.JPG"}))
        << name;
  }
}

TEST(CameraPath, LengthLimitIs255) {
  CameraPath path;
  path.Follow("D:", 0);
  std::string folder = ".\\" + std::string(240, 'F');  // D: and \FFF... make 243
  path.Follow(folder.c_str(), 0);
  path.EnterFile("ABCDEFG.JPG");  // 243 + 12 = 255
  EXPECT_EQ(path.Text().size(), 255u);
  EXPECT_FALSE(path.TooLong());
  path.LeaveFile();
  path.EnterFile("ABCDEFGH.JPG");
  EXPECT_TRUE(path.TooLong());
  path.LeaveFile();
  EXPECT_EQ(path.Text().size(), 243u);
  path.Follow("..", 0);
  EXPECT_EQ(path.Text(), "D:");
}

}  // namespace
}  // namespace listing_test

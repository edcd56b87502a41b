// Camera paths as the listing is walked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/CameraPath.h"

namespace listing_test {
namespace {

// Follows the names and gives the path of each picture among them.
std::vector<std::string> PicturePaths(const std::vector<std::string>& names, CameraPath* path) {
  std::vector<std::string> pictures;
  for (const std::string& name : names) {
    path->Follow(name.c_str());
    if (!CameraPath::IsPicture(name.c_str())) continue;
    path->EnterFile(name.c_str());
    pictures.push_back(path->Text());
    path->LeaveFile();
  }
  return pictures;
}

TEST(CameraPath, ExampleTree) {
  CameraPath path;
  std::vector<std::string> pictures =
      PicturePaths({"D:", ".\\DCIM", ".\\112CANON", "IMG_1205.JPG", "..", ".\\113CANON",
                    "IMG_1300.JPG", "..", ".."},
                   &path);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0], "D:\\DCIM\\112CANON\\IMG_1205.JPG");
  EXPECT_EQ(pictures[1], "D:\\DCIM\\113CANON\\IMG_1300.JPG");
  EXPECT_EQ(path.Text(), "D:");
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
  CameraPath path;
  std::vector<std::string> pictures =
      PicturePaths({"..", "D:", "..", "..", ".\\DCIM", "A.JPG"}, &path);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0], "D:\\DCIM\\A.JPG");
}

TEST(CameraPath, DotDotBeforeAnyDriveKeepsItEmpty) {
  CameraPath path;
  path.Follow("..");
  EXPECT_EQ(path.Text(), "");
  path.Follow(".\\DCIM");
  path.Follow("..");
  path.Follow("..");
  EXPECT_EQ(path.Text(), "");
}

TEST(CameraPath, DotDotNeverCutsIntoTheDriveName) {
  CameraPath path;
  path.Follow("D:\\CARD");
  path.Follow(".\\DCIM");
  path.Follow("..");
  EXPECT_EQ(path.Text(), "D:\\CARD");
  path.Follow("..");
  EXPECT_EQ(path.Text(), "D:\\CARD");
}

TEST(CameraPath, NewDriveReplacesThePath) {
  CameraPath path;
  std::vector<std::string> pictures = PicturePaths({"D:", ".\\DCIM", "E:", ".\\X", "B.JPG"}, &path);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0], "E:\\X\\B.JPG");
}

TEST(CameraPath, NameCanBeFolderAndPictureAtOnce) {
  CameraPath path;
  std::vector<std::string> pictures = PicturePaths({"D:", ".\\A.JPG"}, &path);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0], "D:\\A.JPG\\.\\A.JPG");
}

TEST(CameraPath, LengthLimitIs255) {
  CameraPath path;
  path.Follow("D:");
  std::string folder = ".\\" + std::string(240, 'F');  // D: and \FFF... make 243
  path.Follow(folder.c_str());
  path.EnterFile("ABCDEFG.JPG");  // 243 + 12 = 255
  EXPECT_EQ(path.Text().size(), 255u);
  EXPECT_FALSE(path.TooLong());
  path.LeaveFile();
  path.EnterFile("ABCDEFGH.JPG");
  EXPECT_TRUE(path.TooLong());
  path.LeaveFile();
  EXPECT_EQ(path.Text().size(), 243u);
  path.Follow("..");
  EXPECT_EQ(path.Text(), "D:");
}

}  // namespace
}  // namespace listing_test

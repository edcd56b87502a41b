// Camera paths as the listing is walked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/CameraPath.h"
#include "camera/CardRows.h"
#include "camera/ixus_dir.h"
#include "tests/camera/listing_bytes.h"

namespace listing_test {
namespace {

// Each row of a listing of the entries as its main file's path, its kind's word after a
// colon unless a picture, then "+" and the name of each companion.
std::vector<std::string> Rows(const std::vector<Entry>& entries) {
  std::vector<uint8_t> bytes = EncodeListing(entries);
  ixus_direntry* first = ixus_parsedir(bytes.data(), bytes.size());
  std::vector<std::string> rows;
  for (const CardRow& row : ixus_cardrows(first)) {
    std::string text = row.main.path;
    if (row.main.kind != FileKind::kPicture) text += std::string(":") + KindWord(row.main.kind);
    for (const CardFile& companion : row.companions)
      text += " +" + companion.path.substr(companion.path.rfind('\\') + 1);
    rows.push_back(text);
  }
  ixus_freedir(first);
  return rows;
}

// Folders and drives have size 0, files a size of their own.
std::vector<std::string> Rows(const std::vector<std::string>& names) {
  std::vector<Entry> entries;
  for (const std::string& name : names)
    entries.push_back(
        {0x20, name[0] != '.' && name.find(':') == std::string::npos ? 1000u : 0u, 0, name});
  return Rows(entries);
}

TEST(CameraPath, ExampleTree) {
  std::vector<std::string> rows = Rows({"D:", ".\\DCIM", ".\\112CANON", "IMG_1205.JPG", "..",
                                        ".\\113CANON", "IMG_1300.JPG", "..", ".."});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], "D:\\DCIM\\112CANON\\IMG_1205.JPG");
  EXPECT_EQ(rows[1], "D:\\DCIM\\113CANON\\IMG_1300.JPG");
}

// Kinds by name, the new ones in any case; companions pair by base name in any case, within
// their folder only, and only with the kinds they belong to; the others are rows of their
// own, in listing order.
TEST(CameraPath, CompanionsGoWithTheirMainFile) {
  std::vector<std::string> rows = Rows({{0, 0, 0, "D:"},
                                        {0, 0, 0, ".\\DCIM"},
                                        {0, 0, 0, ".\\100CANON"},
                                        {0x20, 10, 0, "MVI_0001.THM"},
                                        {0x20, 90, 0, "MVI_0001.AVI"},
                                        {0x20, 50, 0, "CRW_0002.CRW"},
                                        {0x20, 10, 0, "crw_0002.thm"},
                                        {0x20, 20, 0, "CRW_0002.WAV"},
                                        {0x20, 30, 0, "IMG_0003.JPG"},
                                        {0x20, 20, 0, "IMG_0003.WAV"},
                                        {0x20, 10, 0, "IMG_0003.THM"},
                                        {0x20, 20, 0, "MVI_0001.WAV"},
                                        {0x20, 10, 0, "IMG_0004.THM"},
                                        {0x20, 40, 0, "IMG_0005.jpg"},
                                        {0x20, 20, 0, "IMG_0005.WAV"},
                                        {0x20, 20, 0, ".JPG"},
                                        {0x20, 20, 0, "mvi_0007.avi"},
                                        {0, 0, 0, ".."},
                                        {0, 0, 0, ".\\101CANON"},
                                        {0x20, 20, 0, "IMG_0006.WAV"},
                                        {0x20, 10, 0, "MVI_0001.THM"}});
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "D:\\DCIM\\100CANON\\MVI_0001.AVI:movie +MVI_0001.THM",
                      "D:\\DCIM\\100CANON\\CRW_0002.CRW:raw +crw_0002.thm +CRW_0002.WAV",
                      "D:\\DCIM\\100CANON\\IMG_0003.JPG +IMG_0003.WAV",
                      "D:\\DCIM\\100CANON\\IMG_0003.THM:thumbnail",
                      "D:\\DCIM\\100CANON\\MVI_0001.WAV:sound",
                      "D:\\DCIM\\100CANON\\IMG_0004.THM:thumbnail",
                      "D:\\DCIM\\100CANON\\IMG_0005.jpg:other",
                      "D:\\DCIM\\100CANON\\IMG_0005.WAV:sound",
                      "D:\\DCIM\\100CANON\\.JPG:other",
                      "D:\\DCIM\\100CANON\\mvi_0007.avi:movie",
                      "D:\\DCIM\\101CANON\\IMG_0006.WAV:sound",
                      "D:\\DCIM\\101CANON\\MVI_0001.THM:thumbnail",
                  }));
}

TEST(CameraPath, DotDotAtTheTopStaysOnTheDrive) {
  std::vector<std::string> rows = Rows({"..", "D:", "..", "..", ".\\DCIM", "A.JPG"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "D:\\DCIM\\A.JPG");
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
  std::vector<std::string> rows = Rows({"D:", ".\\DCIM", "E:", ".\\X", "B.JPG"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "E:\\X\\B.JPG");
}

// A file entry with a folder's or a drive's name, or a name no file can have, is one file:
// it never moves the path of the rows after it, in any folder.
TEST(CameraPath, FileEntriesNeverMoveThePath) {
  for (const char* name : {"..", ".\\X", "X:", "A\\B.JPG", "..\\C.JPG", ".\\A.JPG", "E:A.JPG",
                           "A/B.JPG", "\x01.JPG", "."}) {
    std::vector<std::string> rows = Rows({{0, 0, 0, "D:"},
                                          {0, 0, 0, ".\\DCIM"},
                                          {0, 0, 0, ".\\112CANON"},
                                          {0x20, 5, 0, name},
                                          {0x20, 9, 0, "IMG_0001.JPG"},
                                          {0, 0, 0, ".."},
                                          {0, 0, 0, ".\\113CANON"},
                                          {0x20, 9, 0, "IMG_0002.JPG"}});
    EXPECT_EQ(rows, (std::vector<std::string>{"D:\\DCIM\\112CANON\\IMG_0001.JPG",
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

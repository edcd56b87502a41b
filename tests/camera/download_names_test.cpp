// The names a download gives its files, and the camera names it refuses to use at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "camera/PictureNames.h"
#include "tests/camera/download_fixture.h"

namespace download_test {
namespace {

using Names = std::vector<std::string>;

TEST(LocalName, IsWhatFollowsTheLastBackslash) {
  EXPECT_EQ(LocalName(kExamplePath), "IMG_1205.JPG");
  EXPECT_EQ(LocalName("D:\\DCIM\\100CANON\\MVI_0001.AVI"), "MVI_0001.AVI");
  // Not the last 12 characters: a short name stays short, a long one whole.
  EXPECT_EQ(LocalName("D:\\DCIM\\100CANON\\A.JPG"), "A.JPG");
  EXPECT_EQ(LocalName("D:\\DCIM\\LONGFILENAME.JPEG"), "LONGFILENAME.JPEG");
  EXPECT_EQ(LocalName("IMG.JPG"), "IMG.JPG");
  EXPECT_EQ(LocalName("D:\\DCIM\\.hidden"), ".hidden");
  EXPECT_EQ(LocalName("D:\\DCIM\\IMG\xe9.JPG"), "IMG\xe9.JPG");
}

TEST(LocalName, RefusesWhatIsNoPlainFileOfThisFolder) {
  for (const char* path : {"", "D:\\DCIM\\", "D:\\DCIM\\.", "D:\\DCIM\\..", "..", "D:\\DCIM\\a/b",
                           "D:\\DCIM\\../../etc/passwd", "/etc/passwd", "D:\\DCIM\\-rf",
                           "D:\\DCIM\\-", "D:\\DCIM\\A\nB.JPG", "D:\\DCIM\\A\tB.JPG",
                           "D:\\DCIM\\A\x1b[2J.JPG", "D:\\DCIM\\A\x7f.JPG"})
    EXPECT_FALSE(LocalName(path)) << path;
}

TEST(NeedsTurn, OnlyTheTurnedOrientations) {
  for (unsigned long code : {3, 6, 7, 8}) EXPECT_TRUE(NeedsTurn(code)) << code;
  for (unsigned long code : {0, 1, 2, 4, 5, 9, 0x106}) EXPECT_FALSE(NeedsTurn(code)) << code;
}

class RefusedName : public Download, public testing::WithParamInterface<const char*> {};

TEST_P(RefusedName, CreatesNothingAndSendsNothing) {
  Put(Counting(100));
  Plug();
  std::unique_ptr<pic_Item> record = Record(GetParam(), 6);
  EXPECT_FALSE(Get(GetParam(), record.get()));
  EXPECT_EQ(alerts.Texts(), Names{"Could not create the file."});
  EXPECT_EQ(folder.Names(), Names{});
  EXPECT_TRUE(plugged->Transfers().empty());
  EXPECT_EQ(printed, "");
}

INSTANTIATE_TEST_SUITE_P(CameraNames, RefusedName,
                         testing::Values("D:\\DCIM\\112CANON\\", "D:\\DCIM\\112CANON\\..",
                                         "D:\\DCIM\\112CANON\\.", "D:\\DCIM\\..\\..\\x/y.JPG",
                                         "D:\\DCIM\\-outfile", "D:\\DCIM\\IMG\n.JPG"));

TEST_F(Download, NameWithASlashLeavesTheFolderAlone) {
  // Would be "../IMG_1205.JPG" one folder up, were the name taken as a path.
  std::string parent = folder.Path() + "/..";
  Plug();
  std::unique_ptr<pic_Item> record = Record("D:\\DCIM\\../IMG_1205.JPG");
  EXPECT_FALSE(Get("D:\\DCIM\\../IMG_1205.JPG", record.get()));
  EXPECT_FALSE(std::filesystem::exists(parent + "/IMG_1205.JPG"));
  EXPECT_EQ(folder.Names(), Names{});
}

}  // namespace
}  // namespace download_test

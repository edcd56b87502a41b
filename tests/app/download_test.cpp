#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>

#include "app/PictureList.h"
#include "app/Settings.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "sim/PictureMaker.h"
#include "tests/app/CameraSession.h"

namespace {

using apptest::CameraSession;
using apptest::CameraWith;
using apptest::Eventually;
using testing::ElementsAre;

std::vector<sim::PictureSpec> Upright(int count) {
  std::vector<sim::PictureSpec> pictures;
  for (int i = 0; i < count; i++) {
    sim::PictureSpec spec;
    spec.name = "IMG_000" + std::to_string(i + 1) + ".JPG";
    spec.width = uint16_t(320 + 16 * i);
    spec.height = 240;
    spec.date = 1000000000u + uint32_t(i) * 60;
    pictures.push_back(spec);
  }
  return pictures;
}

class Download : public CameraSession {
 protected:
  void ChooseFolder(const std::string& folder) {
    DownloadInto(folder);
    testing::internal::GetCapturedStderr();
  }
  void StartCapture() { testing::internal::CaptureStderr(); }
};

TEST_F(Download, TheSelectionLandsInTheFolderTypedAndMarkedDownloaded) {
  StartWith(CameraWith(Upright(3)));
  ASSERT_EQ(Rows(), 3);
  SelectRows({0, 2});
  std::string folder = ScratchFolder();
  StartCapture();
  ChooseFolder(folder);

  // Rows are newest first: row 0 is IMG_0003, row 2 IMG_0001.
  for (const char* name : {"IMG_0003.JPG", "IMG_0001.JPG"}) {
    SCOPED_TRACE(name);
    auto held = camera_->FindFile(std::string("D:\\DCIM\\100CANON\\") + name);
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(ReadFile(folder + "/" + name), std::string(held->bytes.begin(), held->bytes.end()));
    EXPECT_EQ(held->attributes & 0x20, 0);  // the camera marks it downloaded
    char mime[32] = {};
    if (getxattr((folder + "/" + name).c_str(), "user.mime_type", mime, sizeof mime) > 0) {
      EXPECT_STREQ(mime, "image/jpeg");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "/IMG_0002.JPG"));
  EXPECT_EQ(camera_->FindFile("D:\\DCIM\\100CANON\\IMG_0002.JPG")->attributes & 0x20, 0x20);
  EXPECT_EQ(Row(0)->attributes & pic_Item::kNew, 0u);
  EXPECT_EQ(Row(1)->attributes & pic_Item::kNew, pic_Item::kNew);
  EXPECT_EQ(Row(2)->attributes & pic_Item::kNew, 0u);
  // Remembered for the next time.
  EXPECT_EQ(ReadFile(SettingsFilePath()), folder + "\n");
  EXPECT_EQ(ReadDownloadFolder(), folder);
  EXPECT_TRUE(alerts_.Texts().empty());
}

TEST_F(Download, TheStatusWindowFollowsTheRun) {
  StartWith(CameraWith(Upright(3)));
  SelectRows({0, 1, 2});
  uint64_t total = Row(0)->size + Row(1)->size + Row(2)->size;
  StartCapture();
  std::string folder = ScratchFolder();
  ChooseFolder(folder);
  std::vector<std::string> calls = windows_.Calls();
  EXPECT_THAT(
      std::vector<std::string>(calls.end() - 4, calls.end()),
      ElementsAre("hide panel", "open status " + std::to_string(total) + " Downloading 1 of 3",
                  "close status", "download finished 3 0 " + folder));
  EXPECT_THAT(windows_.lines, ElementsAre("Downloading 1 of 3", "Downloading 1 of 3",
                                          "Downloading 2 of 3", "Downloading 3 of 3"));
  EXPECT_EQ(windows_.bar, total);  // the reports add up to the bytes
}

TEST_F(Download, ASecondDownloadIntoTheSameFolderStopsAtTheFirstPicture) {
  StartWith(CameraWith(Upright(2)));
  SelectRows({0, 1});
  std::string folder = ScratchFolder();
  StartCapture();
  ChooseFolder(folder);
  std::string first = ReadFile(folder + "/IMG_0002.JPG");
  StartCapture();
  ChooseFolder(folder);
  EXPECT_THAT(alerts_.Texts(), ElementsAre("The file already exists."));
  // Its second line names the picture and the folder, and says what to do.
  EXPECT_EQ(alerts_.Requests().back().detail,
            "IMG_0002.JPG is already in " + folder +
                ". Choose another folder, or use Select New to download only the pictures not "
                "yet downloaded.");
  EXPECT_EQ(ReadFile(folder + "/IMG_0002.JPG"), first);
  EXPECT_EQ(windows_.Calls().back(), "download finished 0 2 " + folder);
}

TEST_F(Download, WithoutTheCameraNothingIsWritten) {
  StartWith(CameraWith(Upright(2)));
  SelectRows({0, 1});
  Bus().Remove(kNode);
  ASSERT_TRUE(Eventually([] { return app->CurrentCamera() == nullptr; }));
  std::string folder = ScratchFolder();
  StartCapture();
  ChooseFolder(folder);
  EXPECT_THAT(alerts_.Texts(), ElementsAre("Download: Could not open USB device"));
  EXPECT_EQ(alerts_.Requests().back().detail.rfind(
                "IMG_0002.JPG was not downloaded into " + folder + ". Check the cable", 0),
            0u);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  EXPECT_EQ(Rows(), 2);
}

TEST_F(Download, ARefusedMarkStillCountsAsDownloaded) {
  StartWith(CameraWith(Upright(1)));
  SelectRows({0});
  // The download's transfers: command, header, the 4096-byte pieces; the mark's is next.
  uint64_t pieces = (Row(0)->size + 4095) / 4096;
  camera_->FailTransfer(camera_->TransferCount() + 2 + pieces + 1);
  std::string folder = ScratchFolder();
  StartCapture();
  ChooseFolder(folder);
  EXPECT_TRUE(std::filesystem::exists(folder + "/IMG_0001.JPG"));
  EXPECT_EQ(Row(0)->attributes & pic_Item::kNew, pic_Item::kNew);
  EXPECT_TRUE(alerts_.Texts().empty());
}

TEST_F(Download, AFolderThatCannotBeEnteredDownloadsNothing) {
  StartWith(CameraWith(Upright(1)));
  SelectRows({0});
  size_t before = windows_.Calls().size();
  kit::Message answer(kSelectCurrent);
  answer.AddRef("refs", {"/nonexistent/folder"});
  StartCapture();
  app->PostMessage(answer);
  ASSERT_TRUE(Eventually([&] { return !alerts_.Texts().empty(); }));
  testing::internal::GetCapturedStderr();
  EXPECT_THAT(alerts_.Texts(), ElementsAre("Could not open the download folder."));
  std::vector<std::string> calls = windows_.Calls();
  EXPECT_THAT(std::vector<std::string>(calls.begin() + long(before), calls.end()),
              ElementsAre("hide panel"));
  EXPECT_FALSE(std::filesystem::exists(SettingsFilePath()));
}

}  // namespace

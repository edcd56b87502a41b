// A card that holds every kind of file, in two folders: the rows it makes, a download of
// every new row byte for byte with its attributes, and flags and delete of rows with
// companions.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstring>
#include <filesystem>
#include <iterator>

#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "tests/app/CameraSession.h"

namespace {

using apptest::CameraSession;

struct CardFile {
  const char* folder;
  const char* name;
  uint32_t date;
  uint8_t attributes;
  const char* mime;  // what its download is typed
};

// Newest last: the rows come newest first.
constexpr CardFile kCard[] = {
    {"100CANON", "IMG_0001.JPG", 1000, 0x20, "image/jpeg"},
    {"100CANON", "IMG_0001.WAV", 1000, 0x21, "audio/x-wav"},
    {"100CANON", "MVI_0002.AVI", 2000, 0x20, "video/x-msvideo"},
    {"100CANON", "MVI_0002.THM", 2000, 0x20, "image/jpeg"},
    {"100CANON", "SND_0003.WAV", 3000, 0x20, "audio/x-wav"},
    {"101CANON", "CRW_0004.CRW", 4000, 0x20, "image/x-canon-crw"},
    {"101CANON", "CRW_0004.THM", 4000, 0x20, "image/jpeg"},
    {"101CANON", "IMG_0005.THM", 5000, 0x20, "image/jpeg"},
    {"101CANON", "NOTES.TXT", 6000, 0x00, "application/octet-stream"},
};

// Each row, newest first: its main file, kind, the file that goes with it, whether it has a
// thumbnail, and whether its files have a known size.
const struct {
  const char* name;
  FileKind kind;
  const char* companion;
  bool thumbnail;
  bool sized;
} kRows[] = {
    {"NOTES.TXT", FileKind::kOther, nullptr, false, false},
    {"IMG_0005.THM", FileKind::kThumbnail, nullptr, false, true},
    {"CRW_0004.CRW", FileKind::kRaw, "CRW_0004.THM", true, true},
    {"SND_0003.WAV", FileKind::kSound, nullptr, false, false},
    {"MVI_0002.AVI", FileKind::kMovie, "MVI_0002.THM", true, true},
    {"IMG_0001.JPG", FileKind::kPicture, "IMG_0001.WAV", true, true},
};

const CardFile& FileOf(const std::string& name) {
  for (const CardFile& file : kCard)
    if (file.name == name) return file;
  abort();
}

std::string PathOf(const char* name) {
  return std::string("D:\\DCIM\\") + FileOf(name).folder + "\\" + name;
}

std::vector<uint8_t> BytesOf(const CardFile& file) {
  std::string name = file.name;
  if (name.ends_with(".JPG")) return sim::MakePicture({name, 160, 120, 1, 0, file.date});
  if (name.ends_with(".THM"))
    return sim::MakeThumbnailFile({name, 320, 240, 1, 0, file.date}, sim::ThumbnailFor::kMovie);
  // Large enough to take several pieces of the bus, different for every file.
  std::vector<uint8_t> bytes(9000 + file.date);
  for (size_t i = 0; i < bytes.size(); i++) bytes[i] = uint8_t(i * 31 + file.date);
  return bytes;
}

std::string Xattr(const std::string& path, const char* name) {
  char value[64] = {};
  ssize_t got = getxattr(path.c_str(), name, value, sizeof value);
  return got < 0 ? std::string() : std::string(value, size_t(got));
}

class CardKinds : public CameraSession {
 protected:
  void SetUp() override {
    CameraSession::SetUp();
    auto camera = std::make_shared<sim::SimCamera>();
    for (const CardFile& file : kCard)
      camera->AddFile(file.folder, {file.name, file.attributes, file.date, BytesOf(file)});
    StartWith(camera);
    ASSERT_EQ(Rows(), int(std::size(kRows)));
  }

  uint8_t CameraFlags(const char* name) { return camera_->FindFile(PathOf(name))->attributes; }
};

TEST_F(CardKinds, EveryNewRowComesOffWithItsCompanions) {
  for (int i = 0; i < Rows(); i++) {
    SCOPED_TRACE(kRows[i].name);
    EXPECT_EQ(Row(i)->GetName(), PathOf(kRows[i].name));
    EXPECT_EQ(Row(i)->kind, kRows[i].kind);
    EXPECT_EQ(Row(i)->companions.size(), kRows[i].companion ? 1u : 0u);
    EXPECT_EQ(Row(i)->Thumbnail() != nullptr, kRows[i].thumbnail);
  }
  EXPECT_EQ(Row(4)->exif_date, 2000u) << "the movie's date comes from its thumbnail file";
  EXPECT_EQ(Row(4)->xres, 320u) << "and its size";
  // The start-up asked the picture for its thumbnail (mode 1) and the thumbnail files for
  // themselves (mode 0): nothing else has a thumbnail to ask for.
  std::vector<std::string> asked;
  for (const sim::TransferRecord& command : camera_->Transfers())
    if (command.kind == sim::TransferKind::kControl && command.data.size() > 88 &&
        command.data[68] == 1)  // the picture data command
      asked.push_back(std::to_string(command.data[80]) +
                      strrchr(reinterpret_cast<const char*>(&command.data[88]), '\\'));
  EXPECT_EQ(asked,
            (std::vector<std::string>{"1\\IMG_0001.JPG", "0\\MVI_0002.THM", "0\\CRW_0004.THM"}));
  EXPECT_TRUE(camera_->Problems().empty());

  // A row is new while its main file is: everything but the downloaded NOTES.TXT.
  app->MainWin()->List().SelectNew();
  EXPECT_EQ(app->MainWin()->List().SelectedIds().size(), std::size(kRows) - 1);
  std::string folder = ScratchFolder();
  testing::internal::CaptureStderr();
  DownloadInto(folder);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(alerts_.Texts().empty());

  for (const auto& row : kRows) {
    for (const char* name : {row.name, row.companion}) {
      if (name == nullptr) continue;
      SCOPED_TRACE(name);
      std::string path = folder + "/" + name;
      if (FileOf(name).attributes == 0x00) {  // not new: not selected
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(CameraFlags(name), 0x00);
        continue;
      }
      auto held = camera_->FindFile(PathOf(name));
      EXPECT_EQ(ReadFile(path), std::string(held->bytes.begin(), held->bytes.end()));
      EXPECT_EQ(Xattr(path, "user.mime_type"), FileOf(name).mime);
      EXPECT_EQ(Xattr(path, "user.EXIF:Date").size(), 12u);
      // A size only where one is known: never a sound note's.
      bool sized = row.sized && !std::string(name).ends_with(".WAV");
      EXPECT_EQ(Xattr(path, "user.GRAFX:Width").size(), sized ? 8u : 0u);
      EXPECT_EQ(CameraFlags(name) & 0x20, 0);
    }
  }
  EXPECT_EQ(FolderFiles(folder).size(), 9u - 1) << "no work file stays";
  for (int i = 1; i < Rows(); i++) EXPECT_EQ(Row(i)->attributes & pic_Item::kNew, 0u) << i;
}

// A companion the camera will not delete stays, and is named; protecting a row protects its
// companions, and a protected row keeps them through a delete; once unprotected, the row goes
// with every file of it.
TEST_F(CardKinds, FlagsAndDeleteReachTheCompanions) {
  SelectRows({5});  // the picture, whose sound note alone the camera protects
  OnAppThread([&] { app->DeleteSelected(); });
  EXPECT_FALSE(camera_->FindFile(PathOf("IMG_0001.JPG")));
  EXPECT_TRUE(camera_->FindFile(PathOf("IMG_0001.WAV")));
  EXPECT_EQ(alerts_.Texts(),
            std::vector<std::string>{"Could not delete IMG_0001.WAV from the camera."});

  SelectRows({2, 4});  // the raw picture and the movie
  OnAppThread([&] { app->Setattr_Selected(kIgnore, kSet); });
  const char* paired[] = {"CRW_0004.CRW", "CRW_0004.THM", "MVI_0002.AVI", "MVI_0002.THM"};
  for (const char* name : paired) EXPECT_EQ(CameraFlags(name), 0x21) << name;
  EXPECT_EQ(CameraFlags("SND_0003.WAV"), 0x20) << "a lone sound file is a row of its own";
  OnAppThread([&] { app->DeleteSelected(); });
  EXPECT_EQ(Rows(), int(std::size(kRows)) - 1);
  OnAppThread([&] { app->Setattr_Selected(kIgnore, kUnset); });
  EXPECT_EQ(CameraFlags("MVI_0002.THM"), 0x20);
  OnAppThread([&] { app->DeleteSelected(); });
  EXPECT_EQ(Rows(), int(std::size(kRows)) - 3);
  for (const char* name : paired) EXPECT_FALSE(camera_->FindFile(PathOf(name))) << name;
  EXPECT_TRUE(camera_->FindFile(PathOf("IMG_0005.THM")));
  EXPECT_EQ(alerts_.Texts().size(), 1u);
}

}  // namespace

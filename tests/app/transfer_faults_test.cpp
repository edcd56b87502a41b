// Every transfer of every camera operation fails once, in each way a camera or a bus can
// fail it; then a clean download of everything must still bring every picture whole, and
// nothing may be marked downloaded, changed or left on the camera that should not be.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/PictureList.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "tests/app/CameraSession.h"
#include "tests/support/Scratch.h"

namespace {

using apptest::CameraSession;
using apptest::CameraWith;
using apptest::Eventually;

constexpr char kFolder[] = "D:\\DCIM\\100CANON\\";
constexpr char kUploaded[] = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

enum class Fault { kError, kEmpty, kShort, kErrorAfterBytes, kUnplug, kMisstated };
constexpr Fault kFaults[] = {Fault::kError, Fault::kEmpty, Fault::kShort, Fault::kErrorAfterBytes,
                             Fault::kUnplug};

// What the camera holds: bytes and attribute byte by camera path.
struct Held {
  std::string bytes;
  uint8_t attributes = 0;
  bool operator==(const Held&) const = default;
};
using Holdings = std::map<std::string, Held>;

struct Operation {
  const char* name;
  // The picture the operation names (its row is selected), or none.
  const char* target;
  bool reads_data;  // whether it reads a data reply (a listing, a thumbnail, a picture)
};

const Operation kOperations[] = {
    {"startup", nullptr, true},        {"download", "IMG_0001.JPG", true},
    {"turned", "IMG_0002.JPG", true},  {"movie", "MVI_0003.AVI", true},
    {"raw", "CRW_0004.CRW", true},     {"setattr", "IMG_0001.JPG", false},
    {"delete", "IMG_0001.JPG", false}, {"info", nullptr, false},
    {"owner", nullptr, false},         {"upload", nullptr, true},
    {"clock", nullptr, false},
};

bool Downloads(const std::string& operation) {
  return operation == "download" || operation == "turned" || operation == "movie" ||
         operation == "raw";
}

// The card's thumbnail files all go with a movie or raw picture: they are no rows.
bool IsRow(const std::string& path) {
  return !path.ends_with(".THM");
}

class TransferFaults : public CameraSession, public testing::WithParamInterface<Operation> {
 protected:
  std::shared_ptr<sim::SimCamera> MakeCamera() {
    sim::PictureSpec upright{"IMG_0001.JPG", 96, 64, 1, 0, 1000000000u};
    sim::PictureSpec turned{"IMG_0002.JPG", 96, 64, 6, 1, 1000000060u};
    auto camera = CameraWith({upright, turned});
    // Each main file takes a few pieces of the bus; its thumbnail file is asked for whole.
    for (const char* name : {"MVI_0003", "CRW_0004"}) {
      std::string base = name;
      std::vector<uint8_t> data(10000, uint8_t(name[0]));
      camera->AddFile("100CANON", {base + (base[0] == 'M' ? ".AVI" : ".CRW"), sim::kAttributeNew,
                                   1000000120u, data});
      camera->AddFile("100CANON",
                      {base + ".THM", sim::kAttributeNew, 1000000120u,
                       sim::MakeThumbnailFile({base + ".THM", 160, 120, 1, 0, 1000000120u},
                                              sim::ThumbnailFor::kRaw)});
    }
    return camera;
  }

  Holdings Hold() {
    Holdings held;
    for (const sim::CameraFolder& folder : camera_->Folders())
      for (const sim::CameraFile& file : folder.files) {
        std::vector<uint8_t> bytes(file.Size());
        file.Read(0, bytes.data(), bytes.size());
        held["D:\\DCIM\\" + folder.name + "\\" + file.name] = {
            std::string(bytes.begin(), bytes.end()), file.attributes};
      }
    return held;
  }

  void SelectTarget() {
    PictureList& list = windows_.main.list;
    std::lock_guard<std::recursive_mutex> guard(list.Mutex());
    list.DeselectAll();
    for (int i = 0; i < list.CountItems(); i++)
      if (std::string(list.ItemAt(i)->GetName()) == std::string(kFolder) + GetParam().target)
        list.Select(i, true);
  }

  void RunOperation(const std::string& folder) {
    std::string name = GetParam().name;
    if (GetParam().target != nullptr) SelectTarget();
    if (Downloads(name)) DownloadInto(folder);
    if (name == "setattr") OnAppThread([] { app->Setattr_Selected(0, 2); });
    if (name == "delete") OnAppThread([] { app->DeleteSelected(); });
    if (name == "info") OnAppThread([] { app->opencamerainfo(); });
    if (name == "owner") OnAppThread([] { app->setownername("Ann"); });
    if (name == "upload") OnAppThread([this] { app->Upload(source_.c_str()); });
    if (name == "clock") OnAppThread([] { app->SetCameraClock(); });
  }

  // As a user would after an alert that asks for it, or after the camera went away.
  void PlugAgainWhenUnread() {
    if (app->CurrentCamera() != nullptr && !camera_->IsGone()) return;
    if (!camera_->IsGone()) camera_->Unplug();
    ASSERT_TRUE(Eventually([this] { return app->CurrentCamera() == nullptr; }));
    Bus().Plug(kNode, camera_);
    ASSERT_TRUE(Eventually([this] { return app->CurrentCamera() != nullptr; }));
    app->Lock();
    app->Unlock();
  }

  std::vector<std::string> RowNames() {
    PictureList& list = windows_.main.list;
    std::lock_guard<std::recursive_mutex> guard(list.Mutex());
    std::vector<std::string> names;
    for (int i = 0; i < list.CountItems(); i++) names.push_back(list.ItemAt(i)->GetName());
    return names;
  }

  // Every check of one case, after the faulted operation.
  void Check(const Holdings& before, const std::string& op_folder, Fault fault,
             const std::string& what) {
    SCOPED_TRACE(what);
    Holdings after = Hold();
    std::string name = GetParam().name;
    std::string target = GetParam().target ? std::string(kFolder) + GetParam().target : "";
    // The camera's pictures are untouched unless the operation commanded it.
    for (const auto& [path, held] : before) {
      auto found = after.find(path);
      if (name == "delete" && path == target) continue;
      ASSERT_NE(found, after.end()) << path << " is gone";
      EXPECT_EQ(found->second.bytes, held.bytes) << path;
      uint8_t changed = found->second.attributes ^ held.attributes;
      uint8_t allowed = name == "setattr" && path == target ? 0x01 : 0;
      bool has_file = std::filesystem::exists(op_folder + "/" + path.substr(sizeof kFolder - 1));
      if (Downloads(name) && has_file) allowed |= 0x20;
      EXPECT_EQ(changed & ~allowed, 0) << path << " flags changed";
    }
    // An upload leaves the whole file or nothing, unless the camera went away before the
    // part it got could be deleted.
    for (const auto& [path, held] : after) {
      if (before.count(path) != 0) continue;
      EXPECT_EQ(path, kUploaded);
      if (fault != Fault::kUnplug) {
        EXPECT_TRUE(held.bytes == testsupport::ReadWholeFile(source_)) << "partial upload";
      }
    }
    bool read_again = app->CurrentCamera() == nullptr || camera_->IsGone();
    PlugAgainWhenUnread();
    // The rows are the camera's pictures, with the camera's flags; an upload is listed only
    // once the camera is read again.
    std::vector<std::string> rows = RowNames();
    std::vector<std::string> pictures;
    for (const auto& [path, held] : after)
      if (IsRow(path) && (path != kUploaded || read_again)) pictures.push_back(path);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, pictures);
    for (int i = 0; i < Rows(); i++) {
      auto found = after.find(Row(i)->GetName());
      if (found != after.end()) {
        EXPECT_EQ(Row(i)->attributes, found->second.attributes) << Row(i)->GetName();
      }
    }
    // A clean download of everything now works, and every file anywhere is whole.
    size_t alerts = alerts_.Texts().size();
    std::string clean = ScratchFolder();
    OnAppThread([this] { windows_.main.list.SelectAll(); });
    DownloadInto(clean);
    std::vector<std::string> texts = alerts_.Texts();
    EXPECT_EQ(texts.size(), alerts) << "the clean download failed: " << texts.back();
    // A file is the picture as a clean download makes it, or, when the picture's
    // orientation could not be read, the camera's own bytes.
    std::map<std::string, std::string> held;
    for (const auto& [path, picture] : after)
      held[path.substr(path.rfind('\\') + 1)] = picture.bytes;
    for (const std::string& folder : {op_folder, clean})
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string file = entry.path().filename();
        std::string bytes = testsupport::ReadWholeFile(entry.path());
        ASSERT_TRUE(reference_.count(file) != 0 || held.count(file) != 0) << "stray " << file;
        EXPECT_TRUE(bytes == reference_[file] || bytes == held[file]) << file;
      }
  }

  void SetUp() override {
    CameraSession::SetUp();
    // Two chunks of what starts as a camera's JPEG: the camera keeps whatever bytes it is sent.
    source_ = ScratchFolder() + "/upload.jpg";
    std::string head(
        "\xFF\xD8\xFF\xE1\x00\x10"
        "Exif\0\0",
        12);
    std::ofstream(source_, std::ios::binary) << head << std::string(1000 - head.size(), 'u');
  }

  std::string source_;
  std::map<std::string, std::string> reference_;  // file name: the file a clean run makes
};

// A clean run: the files every download makes, and the transfers the operation takes.
TEST_P(TransferFaults, EveryTransferFailingInTurnLosesNothing) {
  StartWith(MakeCamera());
  uint64_t start = 0;
  {
    std::string folder = ScratchFolder();
    OnAppThread([this] { windows_.main.list.SelectAll(); });
    DownloadInto(folder);
    reference_ = FolderFiles(folder);
    ASSERT_EQ(reference_.size(), 6u);
  }
  Stop();

  // How many transfers the operation takes when nothing fails.
  auto run = [&](const std::function<void(sim::SimCamera&, uint64_t)>& arrange) {
    auto camera = MakeCamera();
    bool startup = std::string(GetParam().name) == "startup";
    if (startup) arrange(*camera, 0);
    StartWith(camera);
    testing::internal::CaptureStderr();  // the protocol's diagnostics, many per case
    start = camera_->TransferCount();
    if (!startup) arrange(*camera, start);
    std::string folder = ScratchFolder();
    Holdings before = Hold();
    RunOperation(folder);
    return std::make_pair(before, folder);
  };
  run([](sim::SimCamera&, uint64_t) {});
  testing::internal::GetCapturedStderr();
  uint64_t count = camera_->TransferCount();
  if (std::string(GetParam().name) != "startup") count -= start;
  Stop();
  ASSERT_GT(count, 0u);

  int cases = 0;
  for (uint64_t n = 1; n <= count; n++)
    for (Fault fault : kFaults) {
      auto [before, folder] = run([&](sim::SimCamera& camera, uint64_t base) {
        uint64_t at = base + n;
        if (fault == Fault::kError) camera.FailTransfer(at);
        if (fault == Fault::kEmpty) camera.ShortenTransfer(at, 0);
        if (fault == Fault::kShort) camera.ShortenTransfer(at, 40);
        if (fault == Fault::kErrorAfterBytes) camera.FailTransferAfter(at, 40);
        if (fault == Fault::kUnplug) camera.UnplugAtTransfer(at);
      });
      Check(before, folder, fault,
            "transfer " + std::to_string(n) + " fault " + std::to_string(int(fault)));
      testing::internal::GetCapturedStderr();
      Stop();
      cases++;
      if (HasFatalFailure()) return;
    }
  // The operation's first data reply gives a length other than the data it has.
  for (int32_t delta : {-100, 100}) {
    if (!GetParam().reads_data) break;
    auto [before, folder] =
        run([&](sim::SimCamera& camera, uint64_t) { camera.MisstateNextDataReply(delta); });
    Check(before, folder, Fault::kMisstated, "misstated by " + std::to_string(delta));
    testing::internal::GetCapturedStderr();
    Stop();
    cases++;
  }
  RecordProperty("cases", cases);
  if (HasFailure())
    printf("%s: %d faulted transfers, some checks failed\n", GetParam().name, cases);
  else
    printf("%s: %d faulted transfers, every check held\n", GetParam().name, cases);
}

INSTANTIATE_TEST_SUITE_P(Operations, TransferFaults, testing::ValuesIn(kOperations),
                         [](const testing::TestParamInfo<Operation>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

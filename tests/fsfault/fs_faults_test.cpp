// Every file-system call a download makes fails in turn, in each way a drive can fail it;
// then a clean download must still bring the picture whole, and no picture may be marked
// downloaded whose file is not whole, nor may any work file stay. A movie's row comes off
// with its thumbnail file or not at all.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/PictureList.h"
#include "app/pic_Item.h"
#include "tests/app/CameraSession.h"
#include "tests/fsfault/FsFaults.h"

namespace {

using apptest::CameraSession;
using apptest::CameraWith;

constexpr const char* kKinds[] = {"open",     "create", "write", "setxattr", "fdatasync",
                                  "readback", "pread",  "close", "rename",   "fsync"};
// Where a drive that is full or over its quota can say so.
bool Allocates(const std::string& kind) {
  return kind != "open" && kind != "pread" && kind != "readback";
}

struct Picture {
  const char* label;
  const char* name;
  const char* companion;  // the file that goes with it, or none
};
const Picture kPictures[] = {{"plain", "IMG_0001.JPG", nullptr},
                             {"turned", "IMG_0002.JPG", nullptr},
                             {"movie", "MVI_0003.AVI", "MVI_0003.THM"}};

class FileSystemFaults : public CameraSession, public testing::WithParamInterface<Picture> {
 protected:
  static std::string Path(const char* name) { return std::string("D:\\DCIM\\100CANON\\") + name; }
  std::string Path() const { return Path(GetParam().name); }
  // The row's files.
  std::vector<std::string> Names() const {
    std::vector<std::string> names{GetParam().name};
    if (GetParam().companion) names.push_back(GetParam().companion);
    return names;
  }

  void Start() {
    auto camera = CameraWith(
        {{"IMG_0001.JPG", 96, 64, 1, 0, 1000000000u}, {"IMG_0002.JPG", 96, 64, 6, 1, 1000000060u}});
    camera->AddFile("100CANON", {"MVI_0003.AVI", 0x20, 1000000120u, std::vector<uint8_t>(9000, 3)});
    camera->AddFile("100CANON",
                    {"MVI_0003.THM", 0x20, 1000000120u,
                     sim::MakeThumbnailFile({"MVI_0003.THM", 320, 240, 1, 0, 1000000120u},
                                            sim::ThumbnailFor::kMovie)});
    StartWith(camera);
    OnAppThread([this] {
      PictureList& list = windows_.main.list;
      std::lock_guard<std::recursive_mutex> guard(list.Mutex());
      list.DeselectAll();
      for (int i = 0; i < list.CountItems(); i++)
        if (list.ItemAt(i)->GetName() == Path()) list.Select(i, true);
    });
  }

  bool MarkedOnCamera() { return (camera_->FindFile(Path())->attributes & 0x20) == 0; }

  // The files may be only the row's, each as a clean run makes it, or as the camera stored
  // it when the turn could not be made; all of them or none; a row marked downloaded has
  // every file.
  void ExpectSound(const std::string& folder, const std::string& what) {
    SCOPED_TRACE(what);
    std::map<std::string, std::string> held = FolderFiles(folder);
    for (const auto& [name, bytes] : held) {
      ASSERT_EQ(reference_.count(name), 1u) << "a work file or a stray file stayed: " << name;
      const std::vector<uint8_t> stored = camera_->FindFile(Path(name.c_str()))->bytes;
      EXPECT_TRUE(bytes == reference_[name] || bytes == std::string(stored.begin(), stored.end()))
          << "a partial file under the name " << name;
    }
    EXPECT_TRUE(held.empty() || held.size() == Names().size()) << "part of a row stayed";
    if (MarkedOnCamera()) {
      EXPECT_EQ(held.size(), Names().size()) << "marked without its files";
    }
  }

  std::map<std::string, std::string> reference_;
};

TEST_P(FileSystemFaults, EveryCallFailingInTurnLosesNothing) {
  std::map<std::string, int> counts;
  {
    Start();
    std::string folder = ScratchFolder();
    fsfault_arm(folder.c_str(), "", 0, 0);
    DownloadInto(folder);
    for (const char* kind : kKinds) counts[kind] = fsfault_count(kind);
    fsfault_disarm();
    reference_ = FolderFiles(folder);
    ASSERT_EQ(reference_.size(), Names().size());
    ASSERT_TRUE(MarkedOnCamera());
    Stop();
  }
  for (const char* kind :
       {"open", "create", "write", "fdatasync", "readback", "close", "rename", "fsync", "setxattr"})
    ASSERT_GT(counts[kind], 0) << kind << " is never called";

  int cases = 0;
  for (const char* kind : kKinds)
    for (int nth = 1; nth <= counts[kind]; nth++) {
      std::vector<int> errors = {EIO};
      if (nth == 1 && Allocates(kind)) errors = {EIO, ENOSPC, EDQUOT};
      if (std::string(kind) == "readback") errors.push_back(0);  // the drive gives other bytes
      for (int error : errors) {
        std::string what = std::string(kind) + " " + std::to_string(nth) + " " + strerror(error);
        Start();
        std::string folder = ScratchFolder();
        size_t alerts = alerts_.Texts().size();
        fsfault_arm(folder.c_str(), kind, nth, error);
        DownloadInto(folder);
        fsfault_disarm();
        ExpectSound(folder, what);
        bool failed = alerts_.Texts().size() > alerts;
        EXPECT_EQ(failed, !MarkedOnCamera()) << what;
        // The next run brings the picture whole, without a word; a call whose failure did
        // not matter left it whole already.
        alerts = alerts_.Texts().size();
        if (failed) DownloadInto(folder);
        ExpectSound(folder, what + ", then a clean run");
        EXPECT_TRUE(MarkedOnCamera()) << what;
        EXPECT_EQ(FolderFiles(folder).size(), Names().size()) << what;
        EXPECT_EQ(alerts_.Texts().size(), alerts) << what;
        Stop();
        cases++;
        if (HasFailure()) return;
      }
    }
  RecordProperty("cases", cases);
  printf("%s: %d failed file-system calls, every check held\n", GetParam().label, cases);
}

INSTANTIATE_TEST_SUITE_P(Pictures, FileSystemFaults, testing::ValuesIn(kPictures),
                         [](const testing::TestParamInfo<Picture>& info) {
                           return std::string(info.param.label);
                         });

}  // namespace

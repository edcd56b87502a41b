// Download runs as the user steers them: the selection they keep to, stopping them with
// "Cancel" or by quitting, and quitting while an alert waits for an answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "app/PictureList.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "kit/Alert.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/Samples.h"
#include "ui/pic_ItemRow.h"
#include "ui/ptv_statusWin.h"

namespace {

using programtest::CameraWith;
using programtest::Pictures;
using programtest::Program;

std::string CameraPath(const std::string& name) {
  return "D:\\DCIM\\100CANON\\" + name;
}

// Pictures large enough that a paced run is caught in the middle of one.
std::vector<sim::PictureSpec> LargePictures(int count) {
  std::vector<sim::PictureSpec> pictures = Pictures(count);
  for (sim::PictureSpec& spec : pictures) {
    spec.width = 1600;
    spec.height = 1200;
  }
  return pictures;
}

class Runs : public Program {
 protected:
  // Selects every row and downloads it into the folder, waiting until the run is over.
  void DownloadAllInto(const std::string& folder) {
    Trigger("Select All");
    testing::internal::CaptureStderr();
    DownloadInto(folder);
    bool ended = WaitFor([&] { return Status() != nullptr && !Status()->isVisible(); });
    Settle();
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ended);
  }

  // The base name of the picture in a row.
  std::string NameOf(int row) {
    std::string path = Row(row)->GetName();
    return path.substr(path.rfind('\\') + 1);
  }

  // The folder holds exactly these pictures, each whole, and the camera has marked exactly
  // these downloaded; every other picture is still new, on the camera and in its row.
  void ExpectDownloaded(const std::string& folder, const std::set<std::string>& expected) {
    std::vector<std::string> names(expected.begin(), expected.end());
    EXPECT_EQ(Names(folder), names);
    for (int row = 0; row < Rows(); row++) {
      std::string name = NameOf(row);
      auto held = camera_->FindFile(CameraPath(name));
      ASSERT_TRUE(held.has_value()) << name;
      bool done = expected.count(name) != 0;
      if (done) {
        EXPECT_EQ(ReadFile(folder + "/" + name),
                  std::string(held->bytes.begin(), held->bytes.end()))
            << name;
      }
      EXPECT_EQ(held->attributes & 0x20, done ? 0 : 0x20) << name;
      EXPECT_EQ(Row(row)->attributes & pic_Item::kNew, done ? 0u : pic_Item::kNew) << name;
    }
  }

  ptv_statusWin* Status() const { return windows_->StatusWindow(); }
};

TEST_F(Runs, ARunKeepsToTheRowsSelectedWhenItBegan) {
  struct Case {
    std::vector<int> at_start;
    std::vector<int> meanwhile;  // the selection the user makes once the run is going
  };
  const Case cases[] = {
      {{0, 1, 2, 3, 4, 5}, {0}},     // fewer rows
      {{1, 3}, {0, 1, 2, 3, 4, 5}},  // more rows
  };
  StartWith(CameraWith(LargePictures(6)));
  // Slow enough that the run is still going, however loaded the machine, when the selection
  // changes.
  camera_->PaceBulk(400000);
  for (const Case& test : cases) {
    std::string folder = ScratchFolder();
    PictureList& list = Window()->List();
    list.DeselectAll();
    std::set<std::string> expected;
    for (int row : test.at_start) {
      list.Select(row, true);
      expected.insert(NameOf(row));
    }
    testing::internal::CaptureStderr();
    DownloadInto(folder);
    // The status window shows once the run has taken its rows.
    ASSERT_TRUE(WaitFor([&] { return Status() != nullptr && Status()->isVisible(); }));
    list.DeselectAll();
    for (int row : test.meanwhile) list.Select(row, true);
    ASSERT_TRUE(WaitFor([&] { return !Status()->isVisible(); }));
    Settle();
    testing::internal::GetCapturedStderr();
    ExpectDownloaded(folder, expected);
    for (const std::string& name : expected) std::remove((folder + "/" + name).c_str());
    // Back to new for the next case.
    list.SelectAll();
    kit::Message renew(kApplyAttributes);
    renew.AddInt32("downloaded", kUnset);
    renew.AddInt32("protected", kIgnore);
    app->PostMessage(renew);
    Settle();
  }
  EXPECT_TRUE(alerts_.Texts().empty());
}

TEST_F(Runs, ARowDeletedDuringTheRunIsSkipped) {
  StartWith(CameraWith(LargePictures(3)));
  camera_->PaceBulk(400000);  // the run is still going when the row goes, however loaded
  std::string folder = ScratchFolder();
  Trigger("Select All");
  std::string last = NameOf(2);
  testing::internal::CaptureStderr();
  DownloadInto(folder);
  ASSERT_TRUE(WaitFor([&] { return Status() != nullptr && Status()->isVisible(); }));
  {
    std::lock_guard<std::recursive_mutex> guard(Window()->List().Mutex());
    Window()->List().remove_item(Row(2));
  }
  ASSERT_TRUE(WaitFor([&] { return !Status()->isVisible(); }));
  Settle();
  testing::internal::GetCapturedStderr();
  EXPECT_THAT(Names(folder), testing::Not(testing::Contains(last)));
  EXPECT_EQ(Names(folder).size(), 2u);
}

enum class Stop { kCancelButton, kCloseStatus, kQuitMenu, kCloseMainWindow };

struct StopCase {
  Stop how;
  int during;  // the picture in flight when the user stops the run
};

class StopRun : public Runs, public testing::WithParamInterface<StopCase> {};

// Whatever stops it, the run ends at once: pictures done stay done and marked, the one in
// flight leaves nothing behind and stays new, the rest are not touched. A quit then ends the
// program within a second.
TEST_P(StopRun, LeavesOnlyWholePicturesAndTheRightFlags) {
  const StopCase test = GetParam();
  StartWith(CameraWith(LargePictures(3)));
  // Slow enough that each picture is in flight long enough to be seen on a loaded machine.
  camera_->PaceBulk(300000);
  std::string folder = ScratchFolder();
  Trigger("Select All");
  std::set<std::string> expected;
  for (int row = 0; row < test.during; row++) expected.insert(NameOf(row));
  testing::internal::CaptureStderr();
  DownloadInto(folder);
  // The picture in flight is written under a hidden name until it is whole.
  ASSERT_TRUE(WaitFor([&] {
    std::vector<std::string> names = Names(folder);
    auto hidden = std::count_if(names.begin(), names.end(),
                                [](const std::string& name) { return name[0] == '.'; });
    return hidden == 1 && names.size() == expected.size() + 1;
  }));
  auto stopped = std::chrono::steady_clock::now();
  switch (test.how) {
    case Stop::kCancelButton:
      ASSERT_TRUE(Status()->CancelButton()->isEnabled());
      Status()->CancelButton()->click();
      break;
    case Stop::kCloseStatus:
      Status()->close();
      break;
    case Stop::kQuitMenu:
      Trigger("Quit");
      break;
    case Stop::kCloseMainWindow:
      Window()->close();
      break;
  }
  bool quitting = test.how == Stop::kQuitMenu || test.how == Stop::kCloseMainWindow;
  if (quitting) {
    ASSERT_TRUE(WaitFor([&] { return loop_ended_->load(); }));
    EndApplication();
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
  } else {
    ASSERT_TRUE(WaitFor([&] { return Status() == nullptr || !Status()->isVisible(); }));
    Settle();
  }
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(alerts_.Texts().empty());
  if (quitting) {
    // The rows went with the program: judge by the folder and the camera alone.
    EXPECT_EQ(Names(folder), std::vector<std::string>(expected.begin(), expected.end()));
    for (int i = 1; i <= 3; i++) {
      std::string name = "IMG_000" + std::to_string(i) + ".JPG";
      EXPECT_EQ(camera_->FindFile(CameraPath(name))->attributes & 0x20,
                expected.count(name) ? 0 : 0x20)
          << name;
    }
  } else {
    ExpectDownloaded(folder, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Everyway, StopRun,
                         testing::Values(StopCase{Stop::kCancelButton, 0},
                                         StopCase{Stop::kCancelButton, 1},
                                         StopCase{Stop::kCloseStatus, 1},
                                         StopCase{Stop::kQuitMenu, 0},
                                         StopCase{Stop::kCloseMainWindow, 1}));

TEST_F(Runs, CancelIsOfferedForDownloadsOnly) {
  StartWith(CameraWith(Pictures(1)));
  std::string folder = ScratchFolder();
  ASSERT_NO_FATAL_FAILURE(DownloadAllInto(folder));
  windows_->OpenStatus(100, "Uploading", false);
  ASSERT_TRUE(WaitFor([&] { return Status()->isVisible(); }));
  EXPECT_FALSE(Status()->CancelButton()->isEnabled());
  EXPECT_EQ(Status()->CancelButton()->text(), "Cancel");
}

// The windows have gone (the GUI's event loop has ended) before the application thread
// asks for an alert, or while it waits for one: it is answered as dismissed, said on
// standard error, and the program still quits.
class AlertAtQuit : public Runs, public testing::WithParamInterface<bool> {
 protected:
  void TearDown() override {
    kit::SetGuiLoopEnded(false);
    Runs::TearDown();
  }
};

TEST_P(AlertAtQuit, TheProgramStillEnds) {
  const bool ended_first = GetParam();
  StartWith(CameraWith(Pictures(1)));
  kit::SetAlertHandler(nullptr);  // the real bridge to the GUI thread
  std::string folder = ScratchFolder();
  std::ofstream(folder + "/IMG_0001.JPG") << "already here";
  Trigger("Select All");
  testing::internal::CaptureStderr();
  if (ended_first) kit::SetGuiLoopEnded(true);
  DownloadInto(folder);
  // Time for the application thread to reach the alert, with nothing serving the GUI.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kit::SetGuiLoopEnded(true);
  app->QuitRequested();
  EndApplication();
  std::string said = testing::internal::GetCapturedStderr();
  kit::SetAlertHandler(&alerts_);
  EXPECT_THAT(said, testing::HasSubstr("The file already exists."));
  EXPECT_THAT(said, testing::HasSubstr("not shown"));
  EXPECT_TRUE(loop_ended_->load());
}

INSTANTIATE_TEST_SUITE_P(BeforeAndWhileAsked, AlertAtQuit, testing::Bool());

TEST_F(Runs, TheS40PictureShowsNoFlash) {
  SKIP_WITHOUT_SAMPLES();
  std::ifstream in(testsupport::SamplesDirectory() + "/canon-powershot-s40-jfif.jpg",
                   std::ios::binary);
  if (!in) GTEST_SKIP() << "no S40 sample";
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  auto camera = std::make_shared<sim::SimCamera>(sim::kDefaultCameraProduct);
  camera->AddFile("100CANON", {"IMG_0001.JPG", sim::kAttributeNew, 1000000000u, bytes});
  StartWith(camera);
  EXPECT_EQ(Row(0)->flash, 0x18u);  // auto mode, did not fire
  EXPECT_TRUE(RowText(*Row(0))[2].startsWith("(No flash)"));
  std::string folder = ScratchFolder();
  ASSERT_NO_FATAL_FAILURE(DownloadAllInto(folder));
  char flash[8];
  ssize_t size =
      getxattr((folder + "/IMG_0001.JPG").c_str(), "user.EXIF:Flash", flash, sizeof flash);
  EXPECT_EQ(std::string(flash, size > 0 ? size_t(size) : 0), std::string("BOOL\0", 5));
}

}  // namespace

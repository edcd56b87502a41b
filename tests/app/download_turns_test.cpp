// Download runs with pictures stored turned: each is turned upright while the next one's data
// flows, and the camera is asked to mark it downloaded only once it stands under its name.
// However the run ends, every picture whose data came whole is named and marked.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "exif/UprightExif.h"
#include "sim/PictureMaker.h"
#include "tests/app/CameraSession.h"
#include "tests/app/MarkCommand.h"
#include "tests/support/Environment.h"

namespace {

using apptest::CameraSession;
using Names = std::vector<std::string>;

constexpr size_t kCodeAt = 68;
constexpr uint8_t kPictureCode = 0x01;

std::string NameOf(size_t index) {
  return "IMG_000" + std::to_string(index + 1) + ".JPG";
}

bool Turned(uint16_t orientation) {
  return orientation == 6 || orientation == 8;
}

// A camera that notes its pictures' data commands and downloaded marks in the order they
// come: "get NAME", and "mark NAME", or "mark NAME before its file" when no file of that
// name stood in the download folder as the mark was asked for.
class WatchingCamera : public sim::SimCamera {
 public:
  std::string folder;  // set before a run

  Names Events() const {
    std::lock_guard<std::mutex> guard(DeviceMutex());
    return events_;
  }

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup& setup, uint8_t* data,
                              uint32_t* length) override {
    std::string command(reinterpret_cast<const char*>(data), *length);
    // A picture's data (not its thumbnail): the path follows two payload words, the first 0.
    if (command.size() > 88 && data[kCodeAt] == kPictureCode &&
        command.compare(80, 4, std::string(4, '\0')) == 0)
      events_.push_back("get " + Base(command.c_str() + 88));
    if (std::optional<apptest::MarkCommand> mark = apptest::ReadMarkCommand(data, *length)) {
      events_.push_back(
          "mark " + mark->name +
          (access((folder + "/" + mark->name).c_str(), F_OK) == 0 ? "" : " before its file"));
    }
    return SimCamera::HandleControl(setup, data, length);
  }

 private:
  static std::string Base(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

  Names events_;
};

// Picture i of the run is row i: the newest first.
std::shared_ptr<WatchingCamera> CameraOf(const std::vector<uint16_t>& orientations) {
  auto camera = std::make_shared<WatchingCamera>();
  for (size_t i = 0; i < orientations.size(); i++) {
    sim::PictureSpec spec;
    spec.name = NameOf(i);
    spec.width = 320;
    spec.height = 240;
    spec.orientation = orientations[i];
    spec.date = 1000000000u - uint32_t(i) * 60;
    camera->AddFile("100CANON", {spec.name, sim::kAttributeNew, spec.date, sim::MakePicture(spec)});
  }
  return camera;
}

Names FolderNames(const std::string& folder) {
  Names names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The pictures standard error says are turned: a " rotate" line tells of the picture whose
// "Download" line came last before it.
Names TurnsSaid(const std::string& said) {
  Names turned;
  std::string picture;
  size_t start = 0;
  for (size_t end; (end = said.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = said.substr(start, end - start);
    if (line.rfind("Download ", 0) == 0) picture = line.substr(line.rfind('\\') + 1);
    if (line.rfind(" rotate ", 0) == 0) turned.push_back(picture);
  }
  return turned;
}

// The frame's width and height, as the picture in the file stands.
std::pair<uint32_t, uint32_t> FrameOf(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  std::optional<JpegSize> size = fd != -1 ? ReadJpegSize(fd) : std::nullopt;
  if (fd != -1) close(fd);
  return size ? std::make_pair(size->width, size->height) : std::make_pair(0u, 0u);
}

class TurnedRun : public CameraSession {
 protected:
  // Starts on the camera with every row selected.
  void StartOn(std::shared_ptr<WatchingCamera> camera) {
    watching_ = std::move(camera);
    StartWith(watching_);
    std::vector<int> rows(static_cast<size_t>(Rows()));
    for (size_t i = 0; i < rows.size(); i++) rows[i] = int(i);
    SelectRows(rows);
  }

  // Downloads the selection, with standard error captured into `said`.
  void Run(const std::string& folder) {
    watching_->folder = folder;
    testing::internal::CaptureStderr();
    DownloadInto(folder);
    said_ = testing::internal::GetCapturedStderr();
  }

  // The picture is marked exactly once, after its file stood, and not before the next
  // picture's data was asked for when it was stored turned: the bus did not wait for it.
  void ExpectMarkedOnceNamed(size_t index, bool turned, const std::optional<std::string>& next) {
    Names events = watching_->Events();
    std::string mark = "mark " + NameOf(index);
    Names marks;
    std::copy_if(events.begin(), events.end(), std::back_inserter(marks),
                 [&](const std::string& event) { return event.rfind(mark, 0) == 0; });
    ASSERT_EQ(marks, Names{mark});
    auto at = std::find(events.begin(), events.end(), mark);
    if (turned && next) {
      EXPECT_LT(std::find(events.begin(), events.end(), "get " + *next), at);
    }
  }

  // Whether the camera and the row still hold the picture as new.
  bool New(size_t index) {
    bool camera = watching_->FindFile("D:\\DCIM\\100CANON\\" + NameOf(index))->attributes & 0x20;
    bool row = Row(int(index))->attributes & pic_Item::kNew;
    EXPECT_EQ(camera, row) << NameOf(index);
    return camera;
  }

  std::shared_ptr<WatchingCamera> watching_;
  std::string said_;
};

struct RunCase {
  const char* label;
  std::vector<uint16_t> orientations;
  bool jpegtran;  // without it, turned pictures are kept as stored
};

void PrintTo(const RunCase& test, std::ostream* out) {
  *out << test.label;
}

class WholeRun : public TurnedRun, public testing::WithParamInterface<RunCase> {};

TEST_P(WholeRun, NamesEveryPictureAndMarksItOnceItStands) {
  const RunCase& test = GetParam();
  if (test.jpegtran && !testsupport::OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  // Set before the application's threads start: an empty folder is all PATH then holds.
  std::optional<testsupport::EnvironmentSetting> path;
  if (!test.jpegtran) path.emplace("PATH", ScratchFolder());
  StartOn(CameraOf(test.orientations));
  std::string folder = ScratchFolder();
  Run(folder);

  size_t count = test.orientations.size();
  EXPECT_EQ(windows_.Calls().back(), "download finished " + std::to_string(count) + " 0 " + folder);
  EXPECT_TRUE(alerts_.Texts().empty());
  EXPECT_EQ(watching_->Problems(), Names{});
  Names names;
  for (size_t i = 0; i < count; i++) names.push_back(NameOf(i));
  EXPECT_EQ(FolderNames(folder), names);  // no hidden file stays
  size_t kept = 0;
  Names turned_names;
  for (size_t i = 0; i < count; i++) {
    SCOPED_TRACE(NameOf(i));
    bool turned = Turned(test.orientations[i]);
    if (turned) turned_names.push_back(NameOf(i));
    std::vector<uint8_t> stored = watching_->FindFile("D:\\DCIM\\100CANON\\" + NameOf(i))->bytes;
    std::string file = ReadFile(folder + "/" + NameOf(i));
    if (turned && test.jpegtran) {
      EXPECT_EQ(FrameOf(folder + "/" + NameOf(i)), std::make_pair(240u, 320u));  // upright
    } else {
      EXPECT_EQ(file, std::string(stored.begin(), stored.end()));
    }
    kept += turned && !test.jpegtran;
    EXPECT_FALSE(New(i));
    std::optional<std::string> next;
    if (i + 1 < count) next = NameOf(i + 1);
    // Without jpegtran a turn fails at once, and may have ended before the next picture is
    // asked for: its mark then rightly comes first.
    ExpectMarkedOnceNamed(i, turned && test.jpegtran, next);
  }
  EXPECT_EQ(TurnsSaid(said_), turned_names);
  // Turned or kept as stored, the turned pictures are marked in their order.
  Names events = watching_->Events();
  std::vector<long> marks;
  for (const std::string& name : turned_names)
    marks.push_back(std::find(events.begin(), events.end(), "mark " + name) - events.begin());
  EXPECT_TRUE(std::is_sorted(marks.begin(), marks.end()));
  // Each picture kept as stored says why, once.
  const std::string why = "kept as stored, not turned: jpegtran not found";
  size_t told = 0;
  for (size_t at = 0; (at = said_.find(why, at)) != std::string::npos; at++) told++;
  EXPECT_EQ(told, kept);
}

INSTANTIATE_TEST_SUITE_P(Runs, WholeRun,
                         testing::Values(RunCase{"TurnedAmongUpright", {6, 1, 8, 1}, true},
                                         RunCase{"AllTurned", {8, 6, 6}, true},
                                         RunCase{"TurnedLast", {1, 1, 6}, true},
                                         RunCase{"WithoutJpegtran", {6, 1, 8}, false}),
                         [](const testing::TestParamInfo<RunCase>& info) {
                           return info.param.label;
                         });

enum class Stop { kCancel, kQuit, kFailedTransfer };

struct StopCase {
  const char* label;
  Stop how;
  Names alerts;
};

void PrintTo(const StopCase& test, std::ostream* out) {
  *out << test.label;
}

class StoppedRun : public TurnedRun, public testing::WithParamInterface<StopCase> {};

// The run stops as the picture after a turned one is asked for: the turned one still stands
// upright under its name and is marked; the one in flight leaves nothing and stays new.
TEST_P(StoppedRun, TheTurnedPictureBeforeTheOneInFlightIsNamedAndMarked) {
  const StopCase& test = GetParam();
  if (!testsupport::OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  StartOn(CameraOf({6, 1, 1}));
  windows_.on_line = [&](const std::string& line) {
    if (line != "Downloading 2 of 3") return;
    if (test.how == Stop::kCancel) app->CancelRun();
    if (test.how == Stop::kQuit) app->QuitRequested();
    // The picture command, the reply header, then the first piece of data: it fails.
    if (test.how == Stop::kFailedTransfer) watching_->FailTransfer(watching_->TransferCount() + 3);
  };
  std::string folder = ScratchFolder();
  Run(folder);

  EXPECT_EQ(windows_.Calls().back(), "download finished 1 2 " + folder);
  EXPECT_EQ(alerts_.Texts(), test.alerts);
  EXPECT_EQ(FolderNames(folder), Names{NameOf(0)});
  EXPECT_EQ(FrameOf(folder + "/" + NameOf(0)), std::make_pair(240u, 320u));
  EXPECT_FALSE(New(0));
  ExpectMarkedOnceNamed(0, true, NameOf(1));
  EXPECT_TRUE(New(1));
  EXPECT_TRUE(New(2));
  Names events = watching_->Events();
  EXPECT_EQ(std::find(events.begin(), events.end(), "get " + NameOf(2)), events.end());
  // The data in flight was read off before the mark was asked for, even by a program ending.
  EXPECT_EQ(watching_->Problems(), Names{});
}

INSTANTIATE_TEST_SUITE_P(
    Ways, StoppedRun,
    testing::Values(StopCase{"Cancel", Stop::kCancel, {}}, StopCase{"Quit", Stop::kQuit, {}},
                    StopCase{"FailedTransfer", Stop::kFailedTransfer, {"Transfer failed"}}),
    [](const testing::TestParamInfo<StopCase>& info) { return info.param.label; });

// A picture of the same name in another folder, asked for while the first is still being
// turned, is refused as one whose name is taken: the first asked for keeps the name.
TEST_F(TurnedRun, ASecondPictureOfTheNameBeingTurnedIsRefused) {
  if (!testsupport::OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  std::shared_ptr<WatchingCamera> camera = CameraOf({6});
  sim::PictureSpec spec;
  spec.name = NameOf(0);
  spec.width = 320;
  spec.height = 240;
  spec.date = 1000000000u - 60;
  camera->AddFile("101CANON", {spec.name, sim::kAttributeNew, spec.date, sim::MakePicture(spec)});
  StartOn(camera);
  std::string folder = ScratchFolder();
  Run(folder);

  EXPECT_EQ(alerts_.Texts(), Names{"The file already exists."});
  EXPECT_EQ(windows_.Calls().back(), "download finished 1 1 " + folder);
  EXPECT_EQ(FolderNames(folder), Names{NameOf(0)});
  EXPECT_EQ(FrameOf(folder + "/" + NameOf(0)), std::make_pair(240u, 320u));
  EXPECT_FALSE(New(0));
  EXPECT_EQ(camera->FindFile("D:\\DCIM\\101CANON\\" + NameOf(0))->attributes & 0x20, 0x20);
  EXPECT_EQ(Row(1)->attributes & pic_Item::kNew, pic_Item::kNew);
  Names events = camera->Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "get " + NameOf(0)), 1);
}

}  // namespace

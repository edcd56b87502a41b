// A download killed after each of its first file-system calls, as a logout, a power cut or
// the out-of-memory killer would end it: afterwards the folder holds only whole pictures
// under their names, no picture is marked downloaded on the camera whose file is not whole,
// and the next run leaves every picture whole and no work file behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/PictureList.h"
#include "app/pic_Item.h"
#include "tests/app/CameraSession.h"
#include "tests/app/MarkCommand.h"
#include "tests/fsfault/FsFaults.h"

namespace {

using apptest::CameraSession;

// Tells the test, as each downloaded mark reaches it, what the camera was asked to mark:
// the mark outlives the process that asked for it, as on a real camera.
class MarkReporter : public sim::SimCamera {
 public:
  int fd = -1;

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup& setup, uint8_t* data,
                              uint32_t* length) override {
    if (std::optional<apptest::MarkCommand> mark = apptest::ReadMarkCommand(data, *length)) {
      std::string line = mark->name + " " + std::to_string(mark->attributes) + "\n";
      if (fd != -1 && write(fd, line.data(), line.size()) != ssize_t(line.size())) _exit(3);
    }
    return SimCamera::HandleControl(setup, data, length);
  }
};

struct Card {
  const char* label;
  uint16_t first_orientation;  // the newest picture's, downloaded first
};
const Card kCards[] = {{"plain", 1}, {"turned", 6}};

class Crash : public CameraSession, public testing::WithParamInterface<Card> {
 protected:
  std::shared_ptr<MarkReporter> MakeCamera() {
    auto camera = std::make_shared<MarkReporter>();
    const sim::PictureSpec pictures[] = {
        {"IMG_0003.JPG", 96, 64, GetParam().first_orientation, 0, 1000000120u},
        {"IMG_0002.JPG", 96, 64, 1, 1, 1000000060u},
        {"IMG_0001.JPG", 96, 64, 1, 0, 1000000000u}};
    for (const sim::PictureSpec& spec : pictures)
      camera->AddFile("100CANON",
                      {spec.name, sim::kAttributeNew, spec.date, sim::MakePicture(spec)});
    return camera;
  }

  // Downloads the rows whose pictures the folder lacks.
  void DownloadMissing(std::shared_ptr<MarkReporter> camera, const std::string& folder) {
    StartWith(camera);
    std::vector<int> rows;
    for (int i = 0; i < Rows(); i++) {
      std::string path = Row(i)->GetName();
      if (!std::filesystem::exists(folder + "/" + path.substr(path.rfind('\\') + 1)))
        rows.push_back(i);
    }
    SelectRows(rows);
    if (!rows.empty()) DownloadInto(folder);
    Stop();
  }

  // Every file under a picture's name is whole; with `all`, every picture is there and
  // nothing else is.
  void ExpectWhole(const std::string& folder, bool all, const std::string& what) {
    SCOPED_TRACE(what);
    std::map<std::string, std::string> held = FolderFiles(folder);
    for (const auto& [name, bytes] : held) {
      if (name[0] == '.') continue;  // a work file, the next run's to remove
      ASSERT_EQ(reference_.count(name), 1u) << "stray " << name;
      EXPECT_EQ(bytes, reference_[name]) << name << " is not whole";
    }
    if (all) {
      EXPECT_EQ(held, reference_);
    }
  }

  std::map<std::string, std::string> reference_;
};

TEST_P(Crash, KilledAfterEachCallLeavesOnlyWholePicturesAndMarksNoOther) {
  std::string clean = ScratchFolder();
  DownloadMissing(MakeCamera(), clean);
  reference_ = FolderFiles(clean);
  ASSERT_EQ(reference_.size(), 3u);

  int calls = 0;
  for (;; calls++) {
    std::string folder = ScratchFolder();
    std::string what = "killed after " + std::to_string(calls) + " calls";
    int marks[2];
    ASSERT_EQ(pipe(marks), 0);
    auto camera = MakeCamera();
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      close(marks[0]);
      camera->fd = marks[1];
      StartWith(camera);
      SelectRows({0, 1, 2});
      fsfault_arm(folder.c_str(), "", 0, 0);
      fsfault_kill_after(calls);
      DownloadInto(folder);
      _exit(0);
    }
    close(marks[1]);
    std::string told;
    char piece[256];
    for (ssize_t got; (got = read(marks[0], piece, sizeof piece)) > 0;)
      told.append(piece, size_t(got));
    close(marks[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status)) {
      ASSERT_EQ(WEXITSTATUS(status), 0) << what;
      break;  // the run needed no more calls than that: every point has been tried
    }
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << what;
    ExpectWhole(folder, false, what);
    for (size_t start = 0, end; (end = told.find('\n', start)) != std::string::npos;
         start = end + 1) {
      std::string line = told.substr(start, end - start);
      std::string name = line.substr(0, line.find(' '));
      bool marked = (std::stoi(line.substr(line.find(' ') + 1)) & 0x20) == 0;
      EXPECT_TRUE(!marked || std::filesystem::exists(folder + "/" + name))
          << what << ": " << name << " marked without its file";
    }
    size_t alerts = alerts_.Texts().size();
    DownloadMissing(MakeCamera(), folder);
    ExpectWhole(folder, true, what + ", then a clean run");
    EXPECT_EQ(alerts_.Texts().size(), alerts) << what;
    if (HasFailure()) return;
  }
  RecordProperty("cases", calls);
  printf("%s: killed after each of the first %d file-system calls, every check held\n",
         GetParam().label, calls);
}

INSTANTIATE_TEST_SUITE_P(Cards, Crash, testing::ValuesIn(kCards),
                         [](const testing::TestParamInfo<Card>& info) {
                           return std::string(info.param.label);
                         });

}  // namespace

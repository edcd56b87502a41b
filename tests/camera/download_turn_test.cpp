// Pictures stored turned: downloaded to the work file, then turned upright by jpegtran
// under the picture's own name; what stays when jpegtran is missing or fails.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "kit/Spawn.h"
#include "tests/camera/download_fixture.h"
#include "tests/camera/thumbs_pictures.h"

namespace download_test {
namespace {

using Names = std::vector<std::string>;

constexpr char kWorkName[] = "p_IMG_1205.JPG";

std::vector<uint8_t> Text(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path);
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t byte : bytes) {
    if (byte != '\n') {
      line += char(byte);
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  return lines;
}

bool OnPath(const std::string& program) {
  std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = std::min(path.find(':', start), path.size());
    if (access((path.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// A folder beside the download folder for the programs a test puts on PATH.
class Turn : public Download {
 protected:
  Turn() {
    tools_ = std::filesystem::temp_directory_path() / "pictrove_tools_XXXXXX";
    if (mkdtemp(tools_.data()) == nullptr) tools_.clear();
  }
  ~Turn() override {
    std::error_code error;
    std::filesystem::remove_all(tools_, error);
  }

  // A jpegtran of the test's own, the only program on PATH besides what /bin has.
  void FakeJpegtran(const std::string& body) {
    WriteScript(tools_ + "/jpegtran", body);
    path_.emplace("PATH", tools_ + ":/usr/bin:/bin");
  }
  std::string Tool(const std::string& name) const { return tools_ + "/" + name; }

  std::string tools_;
  std::optional<EnvironmentSetting> path_;
};

TEST_F(Turn, JpegtranTurnsTheExampleUpright) {
  if (!OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  sim::CameraFile file = listing_test::Picture(kExampleName, 6);
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(6));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(printed, "\n rotate 90\n");
  EXPECT_EQ(folder.Names(), Names{kExampleName});

  WriteFile(Tool("stored.jpg"), file.bytes);
  ASSERT_EQ(kit::RunProgram(
                {"jpegtran", "-rotate", "90", "-outfile", Tool("turned.jpg"), Tool("stored.jpg")}),
            0);
  std::vector<uint8_t> turned = ReadFile(Tool("turned.jpg"));
  ASSERT_FALSE(turned.empty());
  EXPECT_EQ(ReadFile(kExampleName), turned);
  // The turned file is typed and described as it shows: 480 wide, 640 high.
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  int32_t width = 480, height = 640;
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Typed("LONG", &width, 4));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Typed("LONG", &height, 4));
}

struct TurnCase {
  uint32_t orientation;
  const char* angle;
};

class EachTurn : public Turn, public testing::WithParamInterface<TurnCase> {};

TEST_P(EachTurn, RunsJpegtranWithTheWorkFileAsInput) {
  FakeJpegtran("printf '%s\\n' \"$@\" > " + Tool("args") + "\ncp \"$5\" \"$4\"");
  sim::CameraFile file = listing_test::Picture(kExampleName, uint16_t(GetParam().orientation));
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(GetParam().orientation));
  EXPECT_EQ(printed, std::string("\n rotate ") + GetParam().angle + "\n");
  EXPECT_EQ(Lines(Tool("args")),
            (Names{"-rotate", GetParam().angle, "-outfile", kExampleName, kWorkName}));
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), file.bytes);
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  EXPECT_TRUE(Attribute(kExampleName, "EXIF:Date"));
}

INSTANTIATE_TEST_SUITE_P(Orientations, EachTurn,
                         testing::Values(TurnCase{6, "90"}, TurnCase{7, "180"},
                                         TurnCase{8, "270"}));

TEST_F(Turn, WithoutJpegtranTheWorkFileStays) {
  path_.emplace("PATH", tools_);  // nothing to run there
  sim::CameraFile file = listing_test::Picture(kExampleName, 7);
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(7));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(printed, "\n rotate 180\n");
  EXPECT_EQ(folder.Names(), Names{kWorkName});
  EXPECT_EQ(ReadFile(kWorkName), file.bytes);
  EXPECT_EQ(Attribute(kWorkName, "mime_type"), Text("image/jpeg"));
  int32_t width = 640;
  EXPECT_EQ(Attribute(kWorkName, "GRAFX:Width"), Typed("LONG", &width, 4));
}

TEST_F(Turn, FailedJpegtranLeavesOnlyTheWorkFile) {
  FakeJpegtran("echo half > \"$4\"\nexit 1");
  sim::CameraFile file = listing_test::Picture(kExampleName, 8);
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(8));
  EXPECT_EQ(printed, "\n rotate 270\n");
  EXPECT_EQ(folder.Names(), Names{kWorkName});
  EXPECT_EQ(ReadFile(kWorkName), file.bytes);
}

TEST_F(Turn, JpegtranKilledCountsAsFailed) {
  FakeJpegtran("kill -9 $$");
  Put(listing_test::Picture(kExampleName, 6));
  Plug();
  ASSERT_TRUE(GetExample(6));
  EXPECT_EQ(folder.Names(), Names{kWorkName});
}

TEST_F(Turn, NameTakenMeanwhileIsNotOverwritten) {
  FakeJpegtran("touch " + Tool("ran") + "\ncp \"$5\" \"$4\"");
  camera = std::make_shared<IntrudingCamera>(kExampleName);
  sim::CameraFile file = listing_test::Picture(kExampleName, 6);
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample(6));
  EXPECT_EQ(printed, "\n rotate 90\n");
  EXPECT_FALSE(std::filesystem::exists(Tool("ran")));
  EXPECT_EQ(folder.Names(), (Names{kExampleName, kWorkName}));
  EXPECT_EQ(ReadFile(kExampleName), Text("mine"));
  EXPECT_EQ(ReadFile(kWorkName), file.bytes);
}

TEST_F(Turn, TurnedFileThatCannotBeOpenedStaysWithoutAttributes) {
  FakeJpegtran("ln -s /nonexistent \"$4\"");
  Put(listing_test::Picture(kExampleName, 6));
  Plug();
  ASSERT_TRUE(GetExample(6));
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_TRUE(std::filesystem::is_symlink(kExampleName));
}

}  // namespace
}  // namespace download_test

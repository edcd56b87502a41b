// The commands in-process, one after the other on one simulated camera that stays plugged
// in, as a real one does between two runs: what a command changed, the next one finds.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <filesystem>
#include <memory>
#include <tuple>

#include "app/ptv_App.h"
#include "cli/RunCli.h"
#include "kit/Platform.h"
#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "tests/cli/CliProgram.h"
#include "tests/support/Scratch.h"

namespace clitest {
namespace {

std::string ReadBack(FILE* file) {
  std::string text;
  rewind(file);
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  fclose(file);
  return text;
}

class CliSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    home_ = testsupport::MakeScratchFolder();
    setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
    platform_ = std::make_shared<sim::SimPlatform>();
    kit::InstallPlatform(platform_);
    platform_->Bus().AddDirectory("/dev/bus/usb/001");
    camera_ = std::make_shared<sim::SimCamera>();
    camera_->LoadGenerated();
    platform_->Bus().Plug("/dev/bus/usb/001/002", camera_);
  }

  void TearDown() override {
    kit::InstallPlatform(nullptr);
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(home_);
  }

  Outcome Run(const std::vector<std::string>& arguments) {
    CliOptions options;
    std::string error;
    Outcome outcome;
    if (!ParseOptions(arguments, &options, &error)) return outcome;
    FILE* out = tmpfile();
    FILE* err = tmpfile();
    outcome.status = RunCli(options, out, err);
    outcome.out = ReadBack(out);
    outcome.err = ReadBack(err);
    return outcome;
  }

  uint8_t Attributes(const std::string& name) {
    auto file = camera_->FindFile("D:\\DCIM\\100CANON\\" + name);
    return file ? file->attributes : 0xFF;
  }

  std::string home_;
  std::shared_ptr<sim::SimPlatform> platform_;
  std::shared_ptr<sim::SimCamera> camera_;
};

TEST_F(CliSessionTest, ASecondGetNewTransfersNothing) {
  std::string out = home_ + "/out";
  Outcome first = Run({"get", "--new", "--into", out});
  EXPECT_EQ(first.status, 0) << first.err;
  // A dozen pictures, a movie and a raw picture.
  EXPECT_NE(first.out.find("14 downloaded, 0 failed\n"), std::string::npos) << first.out;
  EXPECT_EQ(Attributes("IMG_0001.JPG") & sim::kAttributeNew, 0);
  EXPECT_EQ(Attributes("IMG_0012.JPG") & sim::kAttributeNew, 0);
  uint64_t transfers = camera_->TransferCount();

  Outcome second = Run({"get", "--new", "--into", out});
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, "0 downloaded, 0 failed\n");
  EXPECT_EQ(FolderNames(out).size(), 17u) << "every row with its companions";
  EXPECT_EQ(Run({"list", "--new"}).out, "");
  EXPECT_GT(camera_->TransferCount(), transfers);  // the second run did read the camera

  EXPECT_EQ(Run({"mark", "new", "IMG_0005.JPG"}).status, 0);
  EXPECT_NE(Attributes("IMG_0005.JPG") & sim::kAttributeNew, 0);
  Outcome listed = Run({"list", "--new"});
  EXPECT_EQ(listed.out.substr(0, 13), "IMG_0005.JPG ");
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 1);
}

TEST_F(CliSessionTest, AProtectedPictureIsNotDeleted) {
  Outcome marked = Run({"mark", "protected", "IMG_0003.JPG"});
  EXPECT_EQ(marked.status, 0) << marked.err;
  EXPECT_EQ(Attributes("IMG_0003.JPG") & sim::kAttributeProtected, sim::kAttributeProtected);

  Outcome deleted = Run({"delete", "IMG_0003.JPG", "IMG_0004.JPG"});
  EXPECT_EQ(deleted.status, 1);
  EXPECT_EQ(deleted.err, "pictrove-cli: IMG_0003.JPG is protected: not deleted\n");
  EXPECT_EQ(deleted.out, "IMG_0004.JPG: deleted\n");
  EXPECT_TRUE(camera_->FindFile("D:\\DCIM\\100CANON\\IMG_0003.JPG"));
  EXPECT_FALSE(camera_->FindFile("D:\\DCIM\\100CANON\\IMG_0004.JPG"));

  EXPECT_EQ(Run({"mark", "unprotected", "IMG_0003.JPG"}).status, 0);
  EXPECT_EQ(Run({"delete", "IMG_0003.JPG"}).status, 0);
  EXPECT_FALSE(camera_->FindFile("D:\\DCIM\\100CANON\\IMG_0003.JPG"));
}

TEST_F(CliSessionTest, OwnerNameRoundTrip) {
  Outcome set = Run({"owner", "Zoë Fernández"});
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(camera_->Info().owner, "Zo\xEB Fern\xE1ndez");
  Outcome info = Run({"info"});
  EXPECT_NE(info.out.find("owner: Zoë Fernández\n"), std::string::npos) << info.out;
}

TEST_F(CliSessionTest, UploadLandsOnTheCamera) {
  std::string out = home_ + "/out";
  ASSERT_EQ(Run({"get", "--into", out, "IMG_0012.JPG"}).status, 0);
  Outcome uploaded = Run({"upload", out + "/IMG_0012.JPG"});
  EXPECT_EQ(uploaded.status, 0) << uploaded.err;
  auto file = camera_->FindFile("D:\\DCIM\\112CANON\\IMG_1205.JPG");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), std::filesystem::file_size(out + "/IMG_0012.JPG"));
  EXPECT_NE(Run({"list"}).out.find("IMG_1205.JPG "), std::string::npos);
  // A second upload would replace the camera's own picture: refused, and said.
  Outcome again = Run({"upload", out + "/IMG_0012.JPG"});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("already holds a picture named IMG_1205.JPG"), std::string::npos);
}

TEST_F(CliSessionTest, RowsOfEveryKindAreListedChosenAndSkippedWhole) {
  // A movie its thumbnail file dates two days early, a sound note, a recording of its own.
  const std::vector<uint8_t> thumbnail = sim::MakePicture({"", 160, 120, 6, 0, 1053000000});
  camera_->AddFile("100CANON", {"MVI_0020.AVI", 0x20, 1053180131, std::vector<uint8_t>(145000)});
  camera_->AddFile("100CANON", {"MVI_0020.THM", 0x20, 1053180131, thumbnail});
  for (const char* name : {"IMG_0001.WAV", "SND_0021.WAV"})
    camera_->AddFile("100CANON", {name, 0x20, 1000000000, {'R', 'I', 'F', 'F'}});
  const std::string listed = Run({"list"}).out;
  EXPECT_EQ(
      listed.substr(0, listed.find('\n') + 1),
      "MVI_0020.AVI    145000   160x120   2003-05-17 14:02:11 new -         movie +MVI_0020.THM\n");
  EXPECT_EQ(listed.substr(listed.size() - 22), "picture +IMG_0001.WAV\n");
  const QJsonValue row =
      QJsonDocument::fromJson(QByteArray::fromStdString(Run({"list", "--json"}).out))[0];
  EXPECT_EQ(row["kind"], "movie");
  EXPECT_EQ(row["companions"][0]["name"], "MVI_0020.THM");
  EXPECT_EQ(Run({"mark", "downloaded", "mvi_0020.thm"}).out, "MVI_0020.AVI: downloaded\n");
  // A sound note's name alone does not delete the picture it goes with.
  Run({"delete", "IMG_0001.WAV"});
  EXPECT_TRUE(camera_->FindFile("D:\\DCIM\\100CANON\\IMG_0001.JPG"));
  // Skipped only whole in its thumbnail's dated folder, whatever the thumbnail's orientation.
  const std::string folder = home_ + "/in/2003-05-15";
  const size_t whole = thumbnail.size();
  const std::tuple<size_t, size_t, bool> kFiles[] = {
      {144999, whole, false}, {145000, whole - 1, false}, {145000, whole, true}};
  std::filesystem::create_directories(folder);
  for (const auto& [avi, thm, skipped] : kFiles) {
    WriteBytes(folder + "/MVI_0020.AVI", avi);
    WriteBytes(folder + "/MVI_0020.THM", thm);
    // The named picture is not of the kinds asked for.
    std::string out = Run({"get", "--skip-existing", "--kind", "movie,thumbnail", "--into",
                           home_ + "/in/%Y-%m-%d", "MVI_0020.AVI", "IMG_0001.JPG"})
                          .out;
    EXPECT_EQ(out.find("already in " + folder) != out.npos, skipped) << out;
    EXPECT_EQ(out.find("0.0 of 0.2 MB") != out.npos, !skipped) << out;
  }
  EXPECT_EQ(FolderNames(home_ + "/in"), std::vector<std::string>{"2003-05-15"});
}

}  // namespace
}  // namespace clitest

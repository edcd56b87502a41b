// The built program run as a user's script runs it, on the demo camera. Each run has a
// camera of its own, fresh as the demo makes it: what a command leaves on the camera is
// checked in-process (session_test.cpp), where one camera outlives several runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/cli/CliProgram.h"

namespace clitest {
namespace {

struct Case {
  std::vector<std::string> arguments;
  int status;
  std::string out;  // in its standard output
  std::string err;  // in its standard error
};

TEST(CliProgram, AnswersAsAScriptExpects) {
  const Case kCases[] = {
      {{"--demo", "list"},
       0,
       "IMG_0012.JPG     12817   320x240   2001-06-11 03:34:15 new -\n"
       "IMG_0011.JPG     76053  1600x1200  2001-06-11 00:16:22 new -\n",
       ""},
      {{"--demo", "list", "--new"}, 0, "IMG_0001.JPG     25126   640x480   2001-06-09", ""},
      {{"--demo", "info"},
       0,
       "model: Canon DIGITAL IXUS\nowner: \nstorage: 4194304 bytes free",
       ""},
      {{"--demo", "info", "--json"}, 0, "\"model\": \"Canon DIGITAL IXUS\"", ""},
      {{"--demo", "mark", "downloaded", "img_0001.jpg"}, 0, "IMG_0001.JPG: downloaded\n", ""},
      {{"--demo", "mark", "protected", "D:\\DCIM\\100CANON\\IMG_0002.JPG"},
       0,
       "IMG_0002.JPG: protected\n",
       ""},
      {{"--demo", "delete", "IMG_0002.JPG"}, 0, "IMG_0002.JPG: deleted\n", ""},
      {{"--demo", "owner", "Jane Doe"}, 0, "owner: Jane Doe\n", ""},
      {{"--demo", "wait"}, 0, "", ""},
      {{"--demo", "clock"}, 0, ", the same as this computer's\n", ""},
      {{"--demo", "clock", "--set"}, 0, ", the same as this computer's\n", ""},
      {{"--demo", "clock", "--json"}, 0, "\"seconds\": ", ""},
      {{"--demo", "info", "--set"}, 2, "", "info takes no option --set"},
      {{"--help"}, 0, "usage: pictrove-cli [--demo [FOLDER]] COMMAND", ""},
      {{"--version"}, 0, "pictrove-cli 2.7\n", ""},
      {{"--demo", "get", "IMG_9999.JPG"},
       1,
       "0 downloaded, 1 failed\n",
       "pictrove-cli: IMG_9999.JPG: no such picture on the camera\n"},
      {{"--demo", "delete", "IMG_9999.JPG"}, 1, "", "IMG_9999.JPG: no such picture"},
      {{"--demo", "upload", "/nonexistent.jpg"}, 1, "", "/nonexistent.jpg: No such file"},
      {{}, 2, "", "pictrove-cli: no command given\nusage:"},
      {{"frob"}, 2, "", "unknown command: frob"},
      {{"--demo", "info", "--new"}, 2, "", "info takes no option --new"},
      {{"--demo", "mark", "IMG_0001.JPG"}, 2, "", "mark what? IMG_0001.JPG"},
      {{"--demo", "mark", "new"}, 2, "", "mark needs a name"},
      {{"--demo", "owner"}, 2, "", "owner needs a name"},
      {{"--demo", "upload", "a", "b"}, 2, "", "upload: too many arguments"},
      {{"--demo", "get", "--into"}, 2, "", "--into needs a folder or pattern"},
      {{"--demo", "get", "--kind", "movie,Raw"}, 2, "", "--kind: unknown kind \"Raw\" (picture,"},
      {{"--demo", "get", "--kind"}, 2, "", "--kind needs a list of kinds"},
      {{"--demo", "list", "--kind", "raw"}, 2, "", "list takes no option --kind"},
      {{"--demo", "/no/such/folder", "list"}, 2, "", "--demo /no/such/folder: no such folder"},
      {{"--demo", "/dev", "list"}, 2, "", "--demo /dev: the folder holds no JPEG pictures"},
      {{"--demo", "", "list"}, 2, "", "--demo: the folder's name is empty"},
      {{"--demo", "owner", "\u0141ukasz"}, 0, "owner: ?ukasz\n", "by \"?\"; stored as \"?ukasz\""},
      {{"--demo", "owner", std::string(40, 'a')},
       0,
       "owner: " + std::string(31, 'a') + "\n",
       "cut to the 31 bytes the camera holds"},
  };
  CliProgram program;
  for (const Case& test : kCases) {
    std::string command;
    for (const std::string& argument : test.arguments) command += " " + argument;
    SCOPED_TRACE(command);
    Outcome outcome = program.Run(test.arguments);
    EXPECT_EQ(outcome.status, test.status);
    EXPECT_NE(outcome.out.find(test.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(test.err), std::string::npos) << outcome.err;
    // Nothing expected is nothing at all, on either stream.
    if (test.out.empty()) {
      EXPECT_EQ(outcome.out, "");
    }
    if (test.err.empty()) {
      EXPECT_EQ(outcome.err, "");
    }
  }
}

TEST(CliProgram, GetsEveryPictureIntoItsDatedFolder) {
  CliProgram program;
  Outcome listing = program.Run({"--demo", "list", "--json"});
  ASSERT_EQ(listing.status, 0);
  QJsonArray pictures = QJsonDocument::fromJson(QByteArray::fromStdString(listing.out)).array();
  ASSERT_EQ(pictures.size(), 14);  // a dozen pictures, a movie and a raw picture
  Outcome got = program.Run({"--demo", "get", "--into", "~/Pictures/%Y/%m-%d"});
  EXPECT_EQ(got.status, 0) << got.err;
  EXPECT_NE(got.out.find("picture 14 of 14"), std::string::npos) << got.out;
  EXPECT_NE(got.out.find("14 downloaded, 0 failed\n"), std::string::npos) << got.out;
  for (const QJsonValue& value : pictures) {
    QJsonObject picture = value.toObject();
    std::string date = picture["date"].toString().toStdString();  // 2001-06-09 15:17:32
    std::string file = program.Home() + "/Pictures/" + date.substr(0, 4) + "/" + date.substr(5, 5) +
                       "/" + picture["name"].toString().toStdString();
    SCOPED_TRACE(file);
    struct stat status;
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_GT(status.st_size, 0);
  }
  EXPECT_EQ(FolderNames(program.Home() + "/Pictures/2001"),
            (std::vector<std::string>{"06-09", "06-10", "06-11"}));
}

TEST(CliProgram, SkipsOnlyAFileOfTheSameSize) {
  CliProgram program;
  std::string out = program.Home() + "/out";
  std::filesystem::create_directory(out);
  WriteBytes(out + "/IMG_0012.JPG", 12817);  // the camera's size
  WriteBytes(out + "/IMG_0011.JPG", 1000);   // another picture of that name
  Outcome skipped = program.Run(
      {"--demo", "get", "--skip-existing", "--into", out, "IMG_0012.JPG", "IMG_0003.JPG"});
  EXPECT_EQ(skipped.status, 0) << skipped.err;
  EXPECT_NE(skipped.out.find("IMG_0012.JPG: already in " + out + ", skipped\n"), std::string::npos);
  EXPECT_NE(skipped.out.find("1 downloaded, 0 failed\n"), std::string::npos) << skipped.out;
  EXPECT_EQ(std::filesystem::file_size(out + "/IMG_0003.JPG"), 31515u);

  Outcome refused =
      program.Run({"--demo", "get", "--skip-existing", "--into", out, "IMG_0011.JPG"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("pictrove-cli: The file already exists.\npictrove-cli: IMG_0011.JPG "
                             "is already in " +
                             out + ". Choose another folder, or use get --skip-existing"),
            std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("pictrove-cli: IMG_0011.JPG: not downloaded\n"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(out + "/IMG_0011.JPG"), 1000u);
  EXPECT_EQ(std::filesystem::file_size(out + "/IMG_0012.JPG"), 12817u);
  EXPECT_EQ(FolderNames(out),
            (std::vector<std::string>{"IMG_0003.JPG", "IMG_0011.JPG", "IMG_0012.JPG"}));
}

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000 && !condition(); i++)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return condition();
}

TEST(CliProgram, InterruptedMidPictureLeavesNoPartialFile) {
  CliProgram program;
  std::string out = program.Home() + "/out";
  // 20000 bytes a second: the first picture takes half a second, the second over three.
  pid_t child = program.Start({"--demo", "get", "--into", out, "IMG_0012.JPG", "IMG_0011.JPG"},
                              {"PICTROVE_DEMO_PACE=20000"});
  bool in_flight = Eventually([&] {
    std::vector<std::string> names = FolderNames(out);
    return program.OutputSoFar().find("picture 2 of 2") != std::string::npos &&
           std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return name[0] == '.'; });
  });
  EXPECT_TRUE(in_flight);
  kill(child, SIGINT);
  Outcome outcome = program.Finish(child);
  EXPECT_EQ(outcome.status, 130);
  // Stopped in flight, the second picture was not tried, not failed.
  EXPECT_NE(outcome.err.find("pictrove-cli: IMG_0011.JPG: not tried\n"), std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.out.find("1 downloaded, 0 failed, 1 not tried\n"), std::string::npos)
      << outcome.out;
  EXPECT_EQ(FolderNames(out), std::vector<std::string>{"IMG_0012.JPG"});
  EXPECT_EQ(std::filesystem::file_size(out + "/IMG_0012.JPG"), 12817u);
}

}  // namespace
}  // namespace clitest

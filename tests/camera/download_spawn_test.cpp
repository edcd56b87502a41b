// Running an external program by argument vector.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "kit/Spawn.h"
#include "tests/camera/download_support.h"

namespace download_test {
namespace {

TEST(RunProgram, ExitStatus) {
  EXPECT_EQ(kit::RunProgramToEnd({"true"}).status, 0);
  EXPECT_EQ(kit::RunProgramToEnd({"false"}).status, 1);
  EXPECT_EQ(kit::RunProgramToEnd({"sh", "-c", "exit 7"}).status, 7);
}

TEST(RunProgram, NotStartedOrNotExited) {
  EXPECT_EQ(kit::RunProgramToEnd({}).status, -1);
  EXPECT_EQ(kit::RunProgramToEnd({"pictrove-no-such-program"}).status, -1);
  EXPECT_EQ(kit::RunProgramToEnd({"sh", "-c", "kill -9 $$"}).status, -1);
}

TEST(RunProgramToEnd, TellsHowItEnded) {
  kit::ProgramEnd exited = kit::RunProgramToEnd({"sh", "-c", "exit 3"});
  EXPECT_EQ(exited.error, 0);
  EXPECT_EQ(exited.status, 3);
  EXPECT_EQ(exited.signal, 0);
  kit::ProgramEnd killed = kit::RunProgramToEnd({"sh", "-c", "kill -9 $$"});
  EXPECT_EQ(killed.error, 0);
  EXPECT_EQ(killed.status, -1);
  EXPECT_EQ(killed.signal, 9);
  kit::ProgramEnd missing = kit::RunProgramToEnd({"pictrove-no-such-program"});
  EXPECT_EQ(missing.error, ENOENT);
  EXPECT_EQ(missing.status, -1);
  EXPECT_EQ(missing.signal, 0);
}

TEST(RunProgram, ArgumentsArriveAsTheyAre) {
  ScratchFolder folder;
  WriteScript(folder.Path() + "/show", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > out");
  std::string tricky = "a b;$(touch gotcha)`x`*";
  ASSERT_EQ(kit::RunProgramToEnd({folder.Path() + "/show", tricky, "", "-x"}).status, 0);
  std::vector<uint8_t> out = ReadFile("out");
  EXPECT_EQ(std::string(out.begin(), out.end()), "[" + tricky + "][][-x]");
  EXPECT_EQ(access("gotcha", F_OK), -1);
}

TEST(RunProgram, FoundAlongPath) {
  ScratchFolder folder;
  WriteScript(folder.Path() + "/pictrove-probe", "exit 42");
  EnvironmentSetting path("PATH", folder.Path());
  EXPECT_EQ(kit::RunProgramToEnd({"pictrove-probe"}).status, 42);
}

}  // namespace
}  // namespace download_test

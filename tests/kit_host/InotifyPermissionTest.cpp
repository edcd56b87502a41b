// The udev race: a device node appears before the user may open it.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "kit/host/HostDeviceTree.h"
#include "tests/kit_host/RecordingLooper.h"
#include "tests/kit_host/ScratchDirectory.h"

namespace {

using hosttest::Created;

// Plays the race in a fresh folder and tells what went wrong: plain checks, so that it can
// run in a child process too.
std::string PlayTheRace() {
  std::ostringstream problems;
  hosttest::ScratchDirectory scratch;
  kit::HostDeviceTree tree;
  kit::NodeStat root, node;
  hosttest::RecordingLooper looper;
  std::unique_ptr<kit::NodeMonitor> monitor = tree.CreateMonitor(looper);
  if (!tree.Stat(scratch.Path(), &root) || !monitor->Watch(root.ref, scratch.Path()))
    return "no watch";
  looper.Run();
  auto expect = [&](const hosttest::Notice& wanted) {
    std::optional<hosttest::Notice> got = looper.Next();
    if (got != wanted)
      problems << "wanted " << wanted << ", got " << got.value_or(hosttest::Notice{}) << "\n";
  };
  std::string path = scratch / "002";
  hosttest::MakeFile(path, "", 0);  // as the kernel makes it: nobody may open it yet
  expect(Created(root.ref, "002"));
  tree.Stat(path, &node);
  chmod(path.c_str(), 0400);  // readable alone is not enough
  hosttest::MakeFile(scratch / "read-only");
  expect(Created(root.ref, "read-only"));
  chmod(path.c_str(), 0600);  // udev's rule applied
  expect(hosttest::Removed(root.ref, node.ref.node));
  expect(Created(root.ref, "002"));
  chmod(path.c_str(), 0644);  // openable already
  hosttest::MakeFile(scratch / "end");
  expect(Created(root.ref, "end"));
  looper.Quit();
  return problems.str();
}

TEST(InotifyMonitorPermissions, NodeThatBecomesOpenableCountsAsCreatedAgain) {
  if (geteuid() != 0) {
    EXPECT_EQ(PlayTheRace(), "");
    return;
  }
  // Root may open every node: an unprivileged user plays the race, in a child.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        std::string problems = PlayTheRace();
        fputs(problems.c_str(), stderr);
        _exit(problems.empty() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace

// With the window running (its name owned on the session bus) the command line leaves the
// camera to it. Runs only where a session bus is there; CTest gives it one of its own.
#include <gtest/gtest.h>

#include <QDBusConnection>

#include "app/BusName.h"
#include "tests/cli/CliProgram.h"

namespace clitest {
namespace {

TEST(CliDbus, LeavesTheCameraToARunningWindow) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) GTEST_SKIP() << "no session bus";
  CliProgram program;
  // Before the window: the host has no camera here, which is what it says.
  Outcome alone = program.Run({"list"});
  EXPECT_EQ(alone.status, 1);
  EXPECT_EQ(alone.err, "pictrove-cli: no camera found\n");

  ASSERT_TRUE(bus.registerService(kBusName));
  Outcome refused = program.Run({"list"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "pictrove-cli: the pictrove window is running and has the camera; quit it first\n");
  // The demo's camera is its own.
  EXPECT_EQ(program.Run({"--demo", "list"}).status, 0);
  bus.unregisterService(kBusName);
}

}  // namespace
}  // namespace clitest

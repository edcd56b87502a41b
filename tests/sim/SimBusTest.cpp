#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include "sim/SimPlatform.h"
#include "tests/sim/CollectingLooper.h"

namespace {

using simtest::CollectingLooper;
using simtest::Notification;

std::shared_ptr<sim::SimDevice> Device() {
  return std::make_shared<sim::SimDevice>(sim::MakeDeviceSet(
      0x1234, 0x0001, {sim::MakeEndpointDescriptor(0x81, sim::kBulk)}, u"Maker", u"Thing"));
}

kit::NodeStat StatOf(sim::SimBus& bus, const std::string& path) {
  kit::NodeStat stat;
  EXPECT_TRUE(bus.Stat(path, &stat)) << path;
  return stat;
}

std::vector<std::string> Names(sim::SimBus& bus, const std::string& path) {
  std::vector<std::string> names;
  EXPECT_TRUE(bus.ReadDirectory(path, &names)) << path;
  return names;
}

TEST(SimBus, StartsEmptyAndMakesParentsOnPlug) {
  sim::SimBus bus;
  kit::NodeStat stat;
  EXPECT_FALSE(bus.Stat(sim::kUsbRoot, &stat));
  ASSERT_TRUE(bus.Plug("/dev/bus/usb/001/002", Device()));
  EXPECT_TRUE(StatOf(bus, "/dev/bus/usb").directory);
  EXPECT_TRUE(StatOf(bus, "/dev/bus/usb/001").directory);
  EXPECT_FALSE(StatOf(bus, "/dev/bus/usb/001/002").directory);
  EXPECT_FALSE(bus.Plug("/dev/bus/usb/001/002", Device())) << "the path is taken";
  EXPECT_FALSE(bus.Plug("/dev/bus/usb/001/002/x", Device())) << "a node is no directory";
}

TEST(SimBus, ListsInCreationOrderWithStableNodeNumbers) {
  sim::SimBus bus;
  bus.Plug("/dev/bus/usb/001/005", Device());
  bus.AddFile("/dev/bus/usb/001/unload");
  bus.Plug("/dev/bus/usb/001/002", Device());
  bus.PlugUnopenable("/dev/bus/usb/001/003");
  EXPECT_EQ(Names(bus, "/dev/bus/usb/001"),
            (std::vector<std::string>{"005", "unload", "002", "003"}));

  int64_t first = StatOf(bus, "/dev/bus/usb/001/005").ref.node;
  EXPECT_EQ(StatOf(bus, "/dev/bus/usb/001/005").ref.node, first);
  EXPECT_EQ(StatOf(bus, "/dev/bus/usb/001/002").ref.device, StatOf(bus, "/").ref.device);
  ASSERT_TRUE(bus.Remove("/dev/bus/usb/001/005"));
  ASSERT_TRUE(bus.Plug("/dev/bus/usb/001/005", Device()));
  EXPECT_NE(StatOf(bus, "/dev/bus/usb/001/005").ref.node, first) << "numbers are never reused";
  EXPECT_EQ(Names(bus, "/dev/bus/usb/001").back(), "005") << "newest last";
  std::vector<std::string> names;
  EXPECT_FALSE(bus.ReadDirectory("/dev/bus/usb/001/002", &names));
}

TEST(SimBus, DriverOpensOnlyOpenableDevicesAndCountsEveryTry) {
  sim::SimPlatform platform;
  sim::SimBus& bus = platform.Bus();
  auto device = Device();
  bus.Plug("/dev/bus/usb/001/002", device);
  bus.AddFile("/dev/bus/usb/001/unload");
  bus.PlugUnopenable("/dev/bus/usb/001/003", Device());

  EXPECT_TRUE(platform.Usb().Open("/dev/bus/usb/001/002"));
  EXPECT_TRUE(platform.Usb().Open("//dev/bus/usb/001//002/"));
  ASSERT_TRUE(
      bus.Plug("/dev/bus/usb/001/hub", std::make_shared<sim::SimDevice>(sim::MakeHubSet())));
  EXPECT_TRUE(platform.Usb().Open("/dev/bus/usb/001/hub")) << "a hub node opens like any device";
  EXPECT_FALSE(platform.Usb().Open("/dev/bus/usb/001"));
  EXPECT_FALSE(platform.Usb().Open("/dev/bus/usb/001/unload"));
  EXPECT_FALSE(platform.Usb().Open("/dev/bus/usb/001/003"));
  EXPECT_FALSE(platform.Usb().Open("/dev/bus/usb/009/009"));
  EXPECT_EQ(bus.OpenCount("/dev/bus/usb/001/002"), 2);
  EXPECT_EQ(bus.OpenCount("/dev/bus/usb/001/unload"), 1);
  EXPECT_EQ(bus.OpenCount("/dev/bus/usb/001/004"), 0);

  device->Unplug();
  EXPECT_FALSE(platform.Usb().Open("/dev/bus/usb/001/002")) << "gone devices do not open";
  EXPECT_TRUE(bus.GrantAccess("/dev/bus/usb/001/003"));
  EXPECT_TRUE(platform.Usb().Open("/dev/bus/usb/001/003"));
  EXPECT_FALSE(bus.GrantAccess("/dev/bus/usb/001/003")) << "already open to all";
}

TEST(SimBus, WatchedDirectoriesReportCreationsAndRemovals) {
  sim::SimBus bus;
  bus.AddDirectory("/dev/bus/usb/001");
  CollectingLooper looper;
  auto monitor = bus.CreateMonitor(looper);
  kit::NodeStat bus1 = StatOf(bus, "/dev/bus/usb/001");
  ASSERT_TRUE(monitor->Watch(bus1.ref, "/dev/bus/usb/001"));
  bus.AddFile("/dev/bus/usb/001/unload");
  EXPECT_FALSE(monitor->Watch(StatOf(bus, "/dev/bus/usb/001/unload").ref, "")) << "no directory";
  EXPECT_FALSE(monitor->Watch(kit::NodeRef{}, "/nowhere"));
  ASSERT_TRUE(looper.Flush());
  looper.Take();

  bus.Plug("/dev/bus/usb/001/002", Device());
  int64_t node = StatOf(bus, "/dev/bus/usb/001/002").ref.node;
  bus.AddDirectory("/dev/bus/usb/002");  // not watched: nothing arrives
  bus.Remove("/dev/bus/usb/001/002");
  ASSERT_TRUE(looper.Flush());
  std::vector<Notification> got = looper.Take();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].opcode, kit::kEntryCreated);
  EXPECT_EQ(got[0].device, bus1.ref.device);
  EXPECT_EQ(got[0].directory, bus1.ref.node);
  EXPECT_EQ(got[0].name, "002");
  EXPECT_EQ(got[1].opcode, kit::kEntryRemoved);
  EXPECT_EQ(got[1].directory, bus1.ref.node);
  EXPECT_EQ(got[1].node, node);

  monitor->Unwatch(bus1.ref);
  bus.Plug("/dev/bus/usb/001/007", Device());
  ASSERT_TRUE(looper.Flush());
  EXPECT_TRUE(looper.Take().empty());
}

TEST(SimBus, RemovingADirectoryIsOneNotificationAndTakesEverythingBelow) {
  sim::SimBus bus;
  auto first = Device();
  auto second = Device();
  bus.Plug("/dev/bus/usb/002/001", first);
  bus.Plug("/dev/bus/usb/002/sub/003", second);
  CollectingLooper looper;
  auto monitor = bus.CreateMonitor(looper);
  monitor->Watch(StatOf(bus, "/dev/bus/usb").ref, "/dev/bus/usb");
  monitor->Watch(StatOf(bus, "/dev/bus/usb/002").ref, "/dev/bus/usb/002");
  int64_t node = StatOf(bus, "/dev/bus/usb/002").ref.node;

  ASSERT_TRUE(bus.Remove("/dev/bus/usb/002"));
  ASSERT_TRUE(looper.Flush());
  std::vector<Notification> got = looper.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].opcode, kit::kEntryRemoved);
  EXPECT_EQ(got[0].node, node);
  kit::NodeStat stat;
  EXPECT_FALSE(bus.Stat("/dev/bus/usb/002/sub/003", &stat));
  EXPECT_TRUE(first->IsGone());
  EXPECT_TRUE(second->IsGone());
  EXPECT_FALSE(bus.Remove("/dev/bus/usb/002"));
  EXPECT_FALSE(bus.Remove("/")) << "the root stays";
}

TEST(SimBus, GrantingAccessReportsTheNodeRemovedThenCreated) {
  sim::SimBus bus;
  bus.PlugUnopenable("/dev/bus/usb/001/004", Device());
  kit::NodeStat before = StatOf(bus, "/dev/bus/usb/001/004");
  CollectingLooper looper;
  auto monitor = bus.CreateMonitor(looper);
  monitor->Watch(StatOf(bus, "/dev/bus/usb/001").ref, "/dev/bus/usb/001");

  ASSERT_TRUE(bus.GrantAccess("/dev/bus/usb/001/004"));
  ASSERT_TRUE(looper.Flush());
  std::vector<Notification> got = looper.Take();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].opcode, kit::kEntryRemoved);
  EXPECT_EQ(got[0].node, before.ref.node);
  EXPECT_EQ(got[1].opcode, kit::kEntryCreated);
  EXPECT_EQ(got[1].name, "004");
  EXPECT_EQ(StatOf(bus, "/dev/bus/usb/001/004").ref.node, before.ref.node) << "same node";
}

TEST(SimBus, ADeviceThatUnplugsItselfLeavesTheTree) {
  sim::SimPlatform platform;
  auto device = Device();
  platform.Bus().Plug("/dev/bus/usb/001/002", device);
  CollectingLooper looper;
  auto monitor = platform.Bus().CreateMonitor(looper);
  monitor->Watch(StatOf(platform.Bus(), "/dev/bus/usb/001").ref, "/dev/bus/usb/001");
  auto node = platform.Usb().Open("/dev/bus/usb/001/002");
  ASSERT_TRUE(node && node->SetConfiguration(0).Ok());
  device->UnplugAtTransfer(device->TransferCount() + 1);

  uint8_t buffer[4];
  uint32_t length = 4;
  EXPECT_FALSE(node->BulkTransfer(0, 0, buffer, &length).Ok());
  kit::NodeStat stat;
  EXPECT_FALSE(platform.Bus().Stat("/dev/bus/usb/001/002", &stat));
  ASSERT_TRUE(looper.Flush());
  std::vector<Notification> got = looper.Take();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].opcode, kit::kEntryRemoved);
}

TEST(SimBus, ReplugStartsAFreshGenerationAndOldHandlesStayDead) {
  sim::SimPlatform platform;
  auto device = Device();
  platform.Bus().Plug("/dev/bus/usb/001/002", device);
  auto old_node = platform.Usb().Open("/dev/bus/usb/001/002");
  ASSERT_TRUE(old_node->SetConfiguration(0).Ok());
  platform.Bus().Remove("/dev/bus/usb/001/002");
  ASSERT_TRUE(platform.Bus().Plug("/dev/bus/usb/001/003", device));
  EXPECT_FALSE(device->IsGone());
  EXPECT_EQ(device->ActiveConfiguration(), -1) << "enumerated afresh";
  uint32_t version = 0;
  EXPECT_FALSE(old_node->DriverVersion(&version).Ok());
  auto new_node = platform.Usb().Open("/dev/bus/usb/001/003");
  ASSERT_TRUE(new_node);
  EXPECT_TRUE(new_node->DriverVersion(&version).Ok());
}

TEST(SimBus, MonitorOutlivingTheBusIsHarmless) {
  CollectingLooper looper;
  std::unique_ptr<kit::NodeMonitor> monitor;
  {
    sim::SimBus bus;
    bus.AddDirectory("/dev/bus/usb");
    monitor = bus.CreateMonitor(looper);
    EXPECT_TRUE(monitor->Watch(StatOf(bus, "/dev/bus/usb").ref, "/dev/bus/usb"));
  }
  EXPECT_FALSE(monitor->Watch({}, "/dev/bus/usb"));
  monitor.reset();
}

}  // namespace

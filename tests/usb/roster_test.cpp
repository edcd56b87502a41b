#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/usb/SimulatedBus.h"
#include "usb/USBDevice.h"
#include "usb/USBRoster.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

struct Event {
  bool added;
  std::string location;
  std::thread::id thread;
};

// Keeps every report; refuses devices whose product ID is 0xDEAD.
class RecordingRoster : public USBRoster {
 public:
  ~RecordingRoster() override { Stop(); }

  int DeviceAdded(USBDevice* device) override { return Note(true, device) ? -1 : 0; }
  void DeviceRemoved(USBDevice* device) override { Note(false, device); }

  // Waits until `count` reports have come in; the reports so far.
  std::vector<Event> WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [&] { return events_.size() >= count; });
    return events_;
  }
  std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(mutex_);
    return events_;
  }

 private:
  bool Note(bool added, USBDevice* device) {
    std::lock_guard<std::mutex> guard(mutex_);
    events_.push_back({added, device->Location(), std::this_thread::get_id()});
    changed_.notify_all();
    return added && device->ProductID() == 0xDEAD;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

class Roster : public usbtest::SimulatedBus {
 protected:
  // Plugs a device that is reported and waits for its report: everything the roster was
  // told before it has been handled by then.
  void Settle(RecordingRoster& roster) {
    std::string node = "/dev/bus/usb/099/" + std::to_string(++sentinels_);
    std::string location = node.substr(12);
    size_t seen = roster.Events().size();
    Bus().Plug(node, Gadget());
    for (;;) {
      std::vector<Event> events = roster.WaitFor(seen + 1);
      ASSERT_GT(events.size(), seen) << "the roster never reported " << node;
      for (; seen < events.size(); seen++)
        if (events[seen].location == location) return;
    }
  }

  int sentinels_ = 0;
};

std::vector<std::string> Locations(const std::vector<Event>& events, bool added) {
  std::vector<std::string> locations;
  for (const Event& event : events)
    if (event.added == added) locations.push_back(event.location);
  return locations;
}

TEST_F(Roster, InitialScanReportsEveryDeviceInTheCallingThreadBeforeStartReturns) {
  Bus().Plug("/dev/bus/usb/001/hub", std::make_shared<sim::SimDevice>(sim::MakeHubSet()));
  Bus().Plug("/dev/bus/usb/001/002", Gadget());
  Bus().Plug("/dev/bus/usb/002/005", Gadget());
  RecordingRoster roster;
  roster.Start();
  std::vector<Event> events = roster.Events();
  ASSERT_EQ(events.size(), 3u);
  for (const Event& event : events) {
    EXPECT_TRUE(event.added);
    EXPECT_EQ(event.thread, std::this_thread::get_id());
  }
  // The hub is reported like any device, under its directory's location.
  EXPECT_EQ(Locations(events, true), (std::vector<std::string>{"/001", "/001/002", "/002/005"}));
  roster.Start();  // a second start while running does nothing
  EXPECT_EQ(roster.Events().size(), 3u);
}

TEST_F(Roster, LaterDevicesAreReportedOnTheRosterThread) {
  Bus().AddDirectory("/dev/bus/usb/001");
  RecordingRoster roster;
  roster.Start();
  Bus().Plug("/dev/bus/usb/001/004", Gadget());
  std::vector<Event> events = roster.WaitFor(1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].location, "/001/004");
  EXPECT_NE(events[0].thread, std::this_thread::get_id());

  Bus().Remove("/dev/bus/usb/001/004");
  events = roster.WaitFor(2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_FALSE(events[1].added);
  EXPECT_EQ(events[1].location, "/001/004");
}

TEST_F(Roster, UnloadEntriesAreNeverOpened) {
  Bus().AddFile("/dev/bus/usb/unload");
  RecordingRoster roster;
  roster.Start();
  Bus().AddFile("/dev/bus/usb/001/unload");
  Settle(roster);
  EXPECT_EQ(Bus().OpenCount("/dev/bus/usb/unload"), 0);
  EXPECT_EQ(Bus().OpenCount("/dev/bus/usb/001/unload"), 0);
}

TEST_F(Roster, UnopenableNodesAreRememberedSilently) {
  Bus().PlugUnopenable("/dev/bus/usb/001/002", Gadget());
  RecordingRoster roster;
  CaptureStderr();
  roster.Start();
  EXPECT_EQ(GetCapturedStderr(), "USBKit: Cannot open '/dev/bus/usb/001/002'\n");
  EXPECT_TRUE(roster.Events().empty());
  Bus().Remove("/dev/bus/usb/001/002");
  Settle(roster);
  EXPECT_TRUE(Locations(roster.Events(), false).empty());
  EXPECT_EQ(Bus().OpenCount("/dev/bus/usb/001/002"), 1);
}

TEST_F(Roster, ANodeGrantedAccessLaterIsFound) {
  Bus().PlugUnopenable("/dev/bus/usb/001/002", Gadget());
  RecordingRoster roster;
  CaptureStderr();
  roster.Start();
  GetCapturedStderr();
  Bus().GrantAccess("/dev/bus/usb/001/002");
  std::vector<Event> events = roster.WaitFor(1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].added);
  EXPECT_EQ(events[0].location, "/001/002");
}

TEST_F(Roster, RefusedDevicesAreDestroyedAndNeverMentionedAgain) {
  Bus().Plug("/dev/bus/usb/001/002", Gadget(0x1234, 0xDEAD));
  RecordingRoster roster;
  roster.Start();
  EXPECT_EQ(roster.Events().size(), 1u);
  Bus().Remove("/dev/bus/usb/001/002");
  Settle(roster);
  EXPECT_TRUE(Locations(roster.Events(), false).empty());
}

TEST_F(Roster, NewBusDirectoriesAreScannedAndWatched) {
  Bus().AddDirectory("/dev/bus/usb");
  RecordingRoster roster;
  roster.Start();
  Bus().Plug("/dev/bus/usb/003/001", Gadget());  // makes the bus directory first
  Settle(roster);
  Bus().Plug("/dev/bus/usb/003/002", Gadget());
  Settle(roster);
  EXPECT_EQ(Locations(roster.Events(), true),
            (std::vector<std::string>{"/003/001", "/099/1", "/003/002", "/099/2"}));
}

TEST_F(Roster, RemovingADirectoryReportsItsDevicesPreOrderNewestFirst) {
  Bus().Plug("/dev/bus/usb/001/001", Gadget());
  Bus().Plug("/dev/bus/usb/001/002", Gadget());
  Bus().Plug("/dev/bus/usb/001/sub/003", Gadget());
  Bus().Plug("/dev/bus/usb/001/004", Gadget());
  RecordingRoster roster;
  roster.Start();
  Bus().Remove("/dev/bus/usb/001");
  std::vector<Event> events = roster.WaitFor(8);
  EXPECT_EQ(Locations(events, false),
            (std::vector<std::string>{"/001/004", "/001/sub/003", "/001/002", "/001/001"}));
  // The directory's watch ended: a device in a new directory of that name is found again.
  Bus().Plug("/dev/bus/usb/001/007", Gadget());
  events = roster.WaitFor(9);
  EXPECT_EQ(events.back().location, "/001/007");
}

TEST_F(Roster, StopReportsTheRemainingDevicesInTheCallingThread) {
  Bus().Plug("/dev/bus/usb/001/002", Gadget());
  Bus().Plug("/dev/bus/usb/001/003", Gadget());
  RecordingRoster roster;
  roster.Start();
  roster.Stop();
  std::vector<Event> events = roster.Events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_FALSE(events[2].added);
  EXPECT_FALSE(events[3].added);
  EXPECT_EQ(events[3].thread, std::this_thread::get_id());
  roster.Stop();
  EXPECT_EQ(roster.Events().size(), 4u);
  // Stopped: nothing is watched any more.
  Bus().Plug("/dev/bus/usb/001/009", Gadget());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(roster.Events().size(), 4u);
}

TEST_F(Roster, WithoutTheRawTreeNothingIsReported) {
  RecordingRoster roster;
  CaptureStderr();
  roster.Start();
  EXPECT_EQ(GetCapturedStderr(), "BLAGHR!");
  EXPECT_TRUE(roster.Events().empty());
  roster.Stop();
}

}  // namespace

#include "kit/host/InotifyMonitor.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>

#include <fstream>
#include <set>

#include "kit/host/HostDeviceTree.h"
#include "tests/kit_host/RecordingLooper.h"
#include "tests/kit_host/ScratchDirectory.h"

namespace {

using hosttest::Created;
using hosttest::MakeFile;
using hosttest::Removed;

class InotifyMonitorTest : public testing::Test {
 protected:
  void TearDown() override {
    looper_.Quit();  // the monitor goes only once its looper has stopped
    monitor_.reset();
  }
  kit::NodeRef Ref(const std::string& path) {
    kit::NodeStat stat;
    EXPECT_TRUE(kit::HostDeviceTree().Stat(path, &stat)) << path;
    return stat.ref;
  }
  kit::NodeRef Watch(const std::string& path) {
    EXPECT_TRUE(monitor_->Watch(Ref(path), path)) << path;
    return Ref(path);
  }
  // Nothing else is pending: the kernel reports in order, so it would come before this.
  void ExpectQuiet() {
    ASSERT_TRUE(MakeFile(At("marker")));
    EXPECT_EQ(looper_.Next(), Created(root_, "marker"));
  }
  std::string At(const std::string& name) { return scratch_ / name; }

  hosttest::ScratchDirectory scratch_;
  hosttest::RecordingLooper looper_;
  std::unique_ptr<kit::NodeMonitor> monitor_ = kit::HostDeviceTree().CreateMonitor(looper_);
  kit::NodeRef root_ = Watch(scratch_.Path());
};

TEST_F(InotifyMonitorTest, CreationsAndRemovalsInNestedFolders) {
  ASSERT_TRUE(MakeFile(At("before")));
  kit::NodeRef before = Ref(At("before"));
  root_ = Watch(scratch_.Path());  // lists "before"
  looper_.Run();
  ASSERT_TRUE(MakeFile(At("after")));
  ASSERT_EQ(mkdir(At("001").c_str(), 0700), 0);
  EXPECT_EQ(looper_.Next(), Created(root_, "after"));
  EXPECT_EQ(looper_.Next(), Created(root_, "001"));
  kit::NodeRef bus = Watch(At("001"));
  ASSERT_TRUE(MakeFile(At("001/002")));
  EXPECT_EQ(looper_.Next(), Created(bus, "002"));
  int64_t device = Ref(At("001/002")).node, after = Ref(At("after")).node;
  ASSERT_EQ(unlink(At("001/002").c_str()) | rmdir(At("001").c_str()), 0);
  ASSERT_EQ(unlink(At("before").c_str()) | unlink(At("after").c_str()), 0);
  EXPECT_EQ(looper_.Next(), Removed(bus, device));
  EXPECT_EQ(looper_.Next(), Removed(root_, bus.node));
  EXPECT_EQ(looper_.Next(), Removed(root_, before.node));
  EXPECT_EQ(looper_.Next(), Removed(root_, after));
  monitor_->Unwatch(bus);  // as the roster does; the watch is gone already
  ExpectQuiet();
}

TEST_F(InotifyMonitorTest, Renames) {
  hosttest::ScratchDirectory outside;
  ASSERT_TRUE(MakeFile(outside / "in") && MakeFile(At("b")));
  int64_t in = Ref(outside / "in").node, b = Ref(At("b")).node;
  root_ = Watch(scratch_.Path());
  looper_.Run();
  ASSERT_EQ(rename((outside / "in").c_str(), At("a").c_str()), 0);
  EXPECT_EQ(looper_.Next(), Created(root_, "a"));
  ASSERT_EQ(rename(At("a").c_str(), At("b").c_str()), 0);  // over an entry
  EXPECT_EQ(looper_.Next(), Removed(root_, in));
  EXPECT_EQ(looper_.Next(), Removed(root_, b));
  EXPECT_EQ(looper_.Next(), Created(root_, "b"));
  ASSERT_EQ(rename(At("b").c_str(), (outside / "out").c_str()), 0);
  EXPECT_EQ(looper_.Next(), Removed(root_, in));
  ExpectQuiet();
}

TEST_F(InotifyMonitorTest, EventsReadLateAndChangesThatPostNothing) {
  ASSERT_TRUE(MakeFile(At("node")));
  ASSERT_EQ(link(At("node").c_str(), At("alias").c_str()), 0);
  int64_t node = Ref(At("node")).node;
  root_ = Watch(scratch_.Path());
  ASSERT_TRUE(MakeFile(At("known")));  // listed by a second Watch before its event is read
  root_ = Watch(scratch_.Path());
  ASSERT_TRUE(MakeFile(At("brief")));  // gone before its events are read
  ASSERT_EQ(unlink(At("brief").c_str()), 0);
  ASSERT_EQ(unlink(At("node").c_str()), 0);  // back with the same node before it is read
  ASSERT_EQ(link(At("alias").c_str(), At("node").c_str()), 0);
  ASSERT_EQ(mkdir(At("001").c_str(), 0700), 0);
  looper_.Run();
  EXPECT_EQ(looper_.Next(), Removed(root_, node));
  EXPECT_EQ(looper_.Next(), Created(root_, "node"));
  EXPECT_EQ(looper_.Next(), Created(root_, "001"));
  monitor_->Unwatch(Watch(At("001")));
  monitor_->Unwatch(kit::NodeRef{root_.device, root_.node + 1000});  // never watched
  ASSERT_TRUE(MakeFile(At("001/002")));
  ASSERT_EQ(chmod(At("node").c_str(), 0644), 0);       // openable before and after
  ASSERT_EQ(chmod(scratch_.Path().c_str(), 0755), 0);  // the watched folder itself
  ExpectQuiet();
  EXPECT_FALSE(monitor_->Watch(root_, At("absent")));
  EXPECT_FALSE(monitor_->Watch(Ref(At("known")), At("known")));  // not a folder
}

TEST_F(InotifyMonitorTest, LostEventsAreRecoveredFromTheFolder) {
  int limit = 0;
  std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
  if (limit <= 0 || limit > 50000) GTEST_SKIP() << "event queue limit " << limit;
  // Memory-backed where there is such a folder: a disk makes the many files slow.
  hosttest::ScratchDirectory memory("/dev/shm");
  const hosttest::ScratchDirectory& folder = memory.Path().empty() ? scratch_ : memory;
  ASSERT_TRUE(MakeFile(folder / "gone"));
  int64_t gone = Ref(folder / "gone").node;
  kit::NodeRef watched = Watch(folder.Path());
  int files = limit + 100;  // nobody reads yet, so the kernel drops what does not fit
  for (int i = 0; i < files; i++) ASSERT_TRUE(MakeFile(folder / ("f" + std::to_string(i))));
  ASSERT_EQ(unlink((folder / "gone").c_str()), 0);
  looper_.Run();
  std::set<std::string> created;
  int removals = 0;
  for (int i = 0; i < files + 1; i++) {
    std::optional<hosttest::Notice> notice = looper_.Next(30);
    ASSERT_TRUE(notice.has_value()) << "after " << i << " notices";
    if (notice->opcode == kit::kEntryRemoved && ++removals)
      EXPECT_EQ(*notice, Removed(watched, gone));
    else
      EXPECT_TRUE(*notice == Created(watched, notice->name) && created.insert(notice->name).second)
          << *notice;
  }
  EXPECT_EQ(removals, 1);
}

}  // namespace

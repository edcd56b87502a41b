// The usbfs adapter seen from a program's side: raw usbdevfs requests on the emulated node,
// under the preload library, in the layouts the kernel uses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "sim/SimCamera.h"
#include "sim/usbfs/CameraTestbed.h"
#include "sim/usbfs/MockEnvironment.h"

namespace {

constexpr const char* kCameraNode = "/dev/bus/usb/001/002";

std::shared_ptr<sim::SimCamera> camera;
sim::CameraTestbed* testbed = nullptr;

class Node {
 public:
  Node() : fd_(open(kCameraNode, O_RDWR | O_CLOEXEC)) {}
  ~Node() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

// The result of an ioctl, or minus its errno.
int Request(int fd, unsigned long request, void* arg) {
  return ioctl(fd, request, arg) < 0 ? -errno : 0;
}

// A control URB asking for the device descriptor.
struct DescriptorUrb {
  uint8_t buffer[8 + 18] = {0x80, 6, 0, 1, 0, 0, 18, 0};
  usbdevfs_urb urb{};  // last: it ends in a flexible array

  DescriptorUrb() {
    urb.type = USBDEVFS_URB_TYPE_CONTROL;
    urb.buffer = buffer;
    urb.buffer_length = sizeof buffer;
  }
};

// An interrupt URB reading up to 64 bytes from `endpoint`, its buffer marked so that a
// write-back shows.
struct InterruptUrb {
  uint8_t buffer[64];
  usbdevfs_urb urb{};

  explicit InterruptUrb(uint8_t endpoint = sim::SimCamera::kInterruptPipe,
                        unsigned char type = USBDEVFS_URB_TYPE_INTERRUPT) {
    memset(buffer, 0xAA, sizeof buffer);
    urb.type = type;
    urb.endpoint = endpoint;
    urb.buffer = buffer;
    urb.buffer_length = sizeof buffer;
  }
};

// A vendor control transfer; the bytes moved, or minus the errno.
int Vendor(int fd, uint8_t type, uint8_t request, uint16_t value, void* data, uint16_t length) {
  usbdevfs_ctrltransfer control{type, request, value, 0, length, 1000, data};
  int moved = ioctl(fd, USBDEVFS_CONTROL, &control);
  return moved < 0 ? -errno : moved;
}

// The camera's handshake up to the echo; the status letter it began with.
uint8_t Handshake(int fd) {
  uint8_t answer[88] = {};
  EXPECT_EQ(Vendor(fd, 0xC0, 0x0C, 0x55, answer, 1), 1);
  uint8_t letter = answer[0];
  EXPECT_EQ(Vendor(fd, 0xC0, 0x04, 0x01, answer, 88), 88);
  EXPECT_EQ(Vendor(fd, 0x40, 0x04, 0x11, answer + 72, 16), 16);
  uint8_t reply[68];
  usbdevfs_bulktransfer bulk{0x81, sizeof reply, 1000, reply};
  EXPECT_EQ(ioctl(fd, USBDEVFS_BULK, &bulk), 68);
  return letter;
}

void* ReapNow(int fd, int* error) {
  void* reaped = nullptr;
  *error = Request(fd, USBDEVFS_REAPURBNDELAY, &reaped);
  return reaped;
}

class UsbfsAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override { testbed->Plug(); }
};

TEST_F(UsbfsAdapterTest, DescriptorsReadInTheUsbfsLayoutFromAnyOffset) {
  Node node;
  ASSERT_GE(node.fd(), 0) << strerror(errno);
  std::vector<uint8_t> blob(4096);
  ssize_t got = read(node.fd(), blob.data(), blob.size());
  ASSERT_GT(got, 18 + 9);
  blob.resize(size_t(got));
  uint8_t device[18];
  ASSERT_TRUE(camera->DeviceDescriptor(device).Ok());
  EXPECT_EQ(0, memcmp(blob.data(), device, 18));
  // One configuration: its descriptor follows, and its total length is the rest.
  EXPECT_EQ(blob[18 + 1], 2);
  EXPECT_EQ(size_t(blob[18 + 2] | blob[18 + 3] << 8), blob.size() - 18);
  EXPECT_EQ(read(node.fd(), blob.data(), blob.size()), 0);  // the end

  uint8_t configuration[9];
  ASSERT_EQ(pread(node.fd(), configuration, sizeof configuration, 18), 9);
  EXPECT_EQ(0, memcmp(configuration, blob.data() + 18, 9));
  ASSERT_EQ(lseek(node.fd(), 0, SEEK_SET), 0);
  ASSERT_EQ(read(node.fd(), configuration, 2), 2);
  EXPECT_EQ(configuration[0], 18);
}

TEST_F(UsbfsAdapterTest, ControlRequestsAndUrbsReachTheCamera) {
  Node node;
  uint8_t device[18] = {};
  usbdevfs_ctrltransfer control{0x80, 6, 0x0100, 0, sizeof device, 1000, device};
  EXPECT_EQ(ioctl(node.fd(), USBDEVFS_CONTROL, &control), 18);
  EXPECT_EQ(device[0], 18);
  EXPECT_EQ(device[8] | device[9] << 8, sim::kCameraVendor);

  DescriptorUrb asked;
  ASSERT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &asked.urb), 0);
  void* reaped = nullptr;
  ASSERT_EQ(Request(node.fd(), USBDEVFS_REAPURBNDELAY, &reaped), 0);
  EXPECT_EQ(reaped, &asked.urb);
  EXPECT_EQ(asked.urb.status, 0);
  EXPECT_EQ(asked.urb.actual_length, 18);
  EXPECT_EQ(0, memcmp(asked.buffer + 8, device, 18));
  EXPECT_EQ(Request(node.fd(), USBDEVFS_REAPURBNDELAY, &reaped), -EAGAIN);

  unsigned int value = 1;
  EXPECT_EQ(Request(node.fd(), USBDEVFS_SETCONFIGURATION, &value), 0);
  unsigned int interface = 0;
  EXPECT_EQ(Request(node.fd(), USBDEVFS_CLAIMINTERFACE, &interface), 0);
  usbdevfs_getdriver driver{};
  EXPECT_EQ(Request(node.fd(), USBDEVFS_GETDRIVER, &driver), -ENODATA);
  unsigned int missing = 7;
  EXPECT_EQ(Request(node.fd(), USBDEVFS_CLAIMINTERFACE, &missing), -EINVAL);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_RELEASEINTERFACE, &interface), 0);
}

TEST_F(UsbfsAdapterTest, AnUnpluggedNodeGivesBackWhatCompletedThenAnswersNoDevice) {
  Node node;
  DescriptorUrb asked;
  ASSERT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &asked.urb), 0);
  testbed->Unplug();

  void* reaped = nullptr;
  EXPECT_EQ(Request(node.fd(), USBDEVFS_REAPURBNDELAY, &reaped), 0);
  EXPECT_EQ(reaped, &asked.urb);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_REAPURBNDELAY, &reaped), -ENODEV);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &asked.urb), -ENODEV);
  uint8_t byte;
  EXPECT_EQ(read(node.fd(), &byte, 1), -1);
  EXPECT_EQ(errno, ENODEV);
  EXPECT_LT(open(kCameraNode, O_RDWR | O_CLOEXEC), 0);

  // Plugged in again: the old fd stays dead, a new one works.
  testbed->Plug();
  EXPECT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &asked.urb), -ENODEV);
  Node fresh;
  ASSERT_GE(fresh.fd(), 0);
  EXPECT_EQ(Request(fresh.fd(), USBDEVFS_SUBMITURB, &asked.urb), 0);
  EXPECT_EQ(Request(fresh.fd(), USBDEVFS_REAPURBNDELAY, &reaped), 0);
}

TEST_F(UsbfsAdapterTest, AfterAPlugTheFirstConfigurationIsActiveAndInterfaceZeroCanBeClaimed) {
  testbed->Unplug();
  testbed->Plug();
  Node node;
  uint8_t value = 0;
  EXPECT_EQ(Vendor(node.fd(), 0x80, 8, 0, &value, 1), 1);  // GET_CONFIGURATION
  EXPECT_EQ(value, 1);
  unsigned int interface = 0;
  EXPECT_EQ(Request(node.fd(), USBDEVFS_CLAIMINTERFACE, &interface), 0);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_RELEASEINTERFACE, &interface), 0);
}

TEST_F(UsbfsAdapterTest, SettingTheConfigurationWhileAnotherFileHoldsAnInterfaceIsBusy) {
  Node holder, other;
  unsigned int interface = 0, value = 1;
  ASSERT_EQ(Request(holder.fd(), USBDEVFS_CLAIMINTERFACE, &interface), 0);
  EXPECT_EQ(Request(other.fd(), USBDEVFS_SETCONFIGURATION, &value), -EBUSY);
  ASSERT_EQ(Request(holder.fd(), USBDEVFS_RELEASEINTERFACE, &interface), 0);
  EXPECT_EQ(Request(other.fd(), USBDEVFS_SETCONFIGURATION, &value), 0);
}

TEST_F(UsbfsAdapterTest, FirstHandshakeAfterAPlugFindsTheCameraJustWoken) {
  testbed->Unplug();
  testbed->Plug();
  Node node;
  EXPECT_EQ(Handshake(node.fd()), 'C');
  EXPECT_EQ(Handshake(node.fd()), 'A');
  Node again;
  EXPECT_EQ(Handshake(again.fd()), 'A');
  int error;
  // Each handshake left its packet for an interrupt read; none was asked for.
  EXPECT_EQ(ReapNow(node.fd(), &error), nullptr);
  EXPECT_EQ(error, -EAGAIN);
}

TEST_F(UsbfsAdapterTest, InterruptUrbsOnlyGoToAnInterruptInputEndpoint) {
  struct Case {
    uint8_t endpoint;
    unsigned char type;
    int error;
  };
  const Case cases[] = {
      {0x81, USBDEVFS_URB_TYPE_INTERRUPT, -EINVAL},  // a bulk endpoint
      {0x02, USBDEVFS_URB_TYPE_INTERRUPT, -EINVAL},
      {0x84, USBDEVFS_URB_TYPE_INTERRUPT, -ENOENT},  // none such
      {0x83, USBDEVFS_URB_TYPE_ISO, -EINVAL},
      {0x83, USBDEVFS_URB_TYPE_INTERRUPT, 0},
  };
  Node node;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.endpoint);
    InterruptUrb asked(c.endpoint, c.type);
    EXPECT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &asked.urb), c.error);
    if (c.error == 0) {
      EXPECT_EQ(Request(node.fd(), USBDEVFS_DISCARDURB, &asked.urb), 0);
    }
  }
}

TEST_F(UsbfsAdapterTest, AnInterruptUrbWaitsForThePacketThatFollowsTheHandshake) {
  Node node;
  InterruptUrb asked;
  ASSERT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &asked.urb), 0);
  int error;
  // Nothing yet, however often the program looks; the second look is the one that waits.
  for (int look = 0; look < 3; ++look) {
    EXPECT_EQ(ReapNow(node.fd(), &error), nullptr) << look;
    EXPECT_EQ(error, -EAGAIN) << look;
  }
  // URBs that complete at once are reaped while it waits.
  DescriptorUrb descriptor;
  ASSERT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &descriptor.urb), 0);
  EXPECT_EQ(ReapNow(node.fd(), &error), &descriptor.urb);
  EXPECT_EQ(asked.urb.status, 0);
  EXPECT_EQ(asked.buffer[0], 0xAA) << "untouched while pending";

  Handshake(node.fd());
  EXPECT_EQ(ReapNow(node.fd(), &error), &asked.urb);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(asked.urb.status, 0);
  ASSERT_EQ(asked.urb.actual_length, 16);
  EXPECT_TRUE(std::all_of(asked.buffer, asked.buffer + 16, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(asked.buffer[16], 0xAA);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_DISCARDURB, &asked.urb), -EINVAL) << "completed already";

  std::vector<sim::TransferRecord> log = camera->Transfers();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().kind, sim::TransferKind::kInterrupt);
  EXPECT_EQ(log.back().endpoint, sim::SimCamera::kInterruptPipe);
  EXPECT_EQ(log.back().transferred, 16u);
  size_t interrupts = std::count_if(log.begin(), log.end(), [](const sim::TransferRecord& r) {
    return r.kind == sim::TransferKind::kInterrupt;
  });
  EXPECT_EQ(interrupts, 1u) << "waiting costs the device no transfers";
}

TEST_F(UsbfsAdapterTest, ADiscardedInterruptUrbIsReapedWithNoEntry) {
  Node node;
  InterruptUrb first, second;
  ASSERT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &first.urb), 0);
  ASSERT_EQ(Request(node.fd(), USBDEVFS_SUBMITURB, &second.urb), 0);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_DISCARDURB, &second.urb), 0);
  EXPECT_EQ(Request(node.fd(), USBDEVFS_DISCARDURB, &second.urb), -EINVAL);
  int error;
  EXPECT_EQ(ReapNow(node.fd(), &error), &second.urb);
  EXPECT_EQ(second.urb.status, -ENOENT);
  EXPECT_EQ(second.urb.actual_length, 0);
  EXPECT_EQ(ReapNow(node.fd(), &error), nullptr);
  EXPECT_EQ(error, -EAGAIN);

  // Gone with the device: the URB in flight ends, then the fd is dead.
  testbed->Unplug();
  EXPECT_EQ(ReapNow(node.fd(), &error), &first.urb);
  EXPECT_EQ(first.urb.status, -ESHUTDOWN);
  EXPECT_EQ(ReapNow(node.fd(), &error), nullptr);
  EXPECT_EQ(error, -ENODEV);
}

}  // namespace

int main(int argc, char** argv) {
  sim::EnterMockEnvironment(argv);
  ::testing::InitGoogleTest(&argc, argv);
  camera = std::make_shared<sim::SimCamera>();
  camera->LoadGenerated();
  sim::CameraTestbed bed(camera);
  testbed = &bed;
  int result = RUN_ALL_TESTS();
  testbed = nullptr;
  return result;
}

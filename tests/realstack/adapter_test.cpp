// The usbfs adapter seen from a program's side: raw usbdevfs requests on the emulated node,
// under the preload library, in the layouts the kernel uses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "kit/Platform.h"
#include "kit/host/HostUsbDriver.h"
#include "tests/kit_host/ScratchDirectory.h"

namespace {

TEST(HostPlatform, DeviceTreeIsTheFileSystem) {
  hosttest::ScratchDirectory scratch;
  ASSERT_TRUE(hosttest::MakeFile(scratch / "001") && mkdir((scratch / "002").c_str(), 0700) == 0);
  ASSERT_EQ(symlink("001", (scratch / "link").c_str()), 0);
  std::shared_ptr<kit::Platform> platform = kit::MakeHostPlatform();
  kit::DeviceTree& tree = platform->Devices();
  struct stat file, link;
  ASSERT_EQ(lstat((scratch / "001").c_str(), &file) | lstat((scratch / "link").c_str(), &link), 0);
  kit::NodeStat stat;
  ASSERT_TRUE(tree.Stat(scratch / "001", &stat));
  EXPECT_TRUE(stat.ref.device == int32_t(file.st_dev) && stat.ref.node == int64_t(file.st_ino));
  EXPECT_FALSE(stat.directory);
  ASSERT_TRUE(tree.Stat(scratch / "link", &stat));
  EXPECT_EQ(stat.ref.node, int64_t(link.st_ino));  // the link, not what it points at
  EXPECT_TRUE(tree.Stat(scratch / "002", &stat) && stat.directory);
  EXPECT_FALSE(tree.Stat(scratch / "absent", &stat));
  std::vector<std::string> names = {"stale"};
  ASSERT_TRUE(tree.ReadDirectory(scratch.Path(), &names));
  EXPECT_THAT(names, testing::UnorderedElementsAre("001", "002", "link"));
  EXPECT_TRUE(tree.ReadDirectory(scratch / "002", &names) && names.empty());
  EXPECT_FALSE(tree.ReadDirectory(scratch / "absent", &names));
  EXPECT_FALSE(tree.ReadDirectory(scratch / "001", &names));
}

TEST(HostPlatform, OnlyUsbfsNodesOpenAndNothingIsLeftOpen) {
  hosttest::ScratchDirectory scratch;
  ASSERT_TRUE(hosttest::MakeFile(scratch / "node", std::string(18, '\x12')));
  std::shared_ptr<kit::Platform> platform = kit::MakeHostPlatform();
  auto descriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  EXPECT_EQ(platform->Usb().Open(scratch / "node"), nullptr);
  auto before = descriptors();  // the library's own context is there by now
  for (const std::string& path : {std::string("/dev/bus/usb/999/999"), scratch / "node",
                                  std::string("/dev/null"), scratch.Path()})
    EXPECT_EQ(platform->Usb().Open(path), nullptr) << path;
  EXPECT_EQ(descriptors(), before);
}

TEST(HostPlatform, DescriptorBlobIsReadFromTheStartUpToTheLargestADeviceHas) {
  hosttest::ScratchDirectory scratch;
  std::string content;
  for (int i = 0; i < 600000; i++) content.push_back(char(i * 7));
  ASSERT_TRUE(hosttest::MakeFile(scratch / "blob", content));
  int fd = open((scratch / "blob").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(lseek(fd, 0, SEEK_END), off_t(content.size()));  // where libusb leaves it
  std::vector<uint8_t> blob = kit::ReadDescriptorBlob(fd);
  close(fd);
  ASSERT_EQ(blob.size(), 18u + 8 * 65535);
  EXPECT_EQ(std::string(blob.begin(), blob.end()), content.substr(0, blob.size()));
  EXPECT_TRUE(kit::ReadDescriptorBlob(-1).empty());
}

}  // namespace

// Uploads to the simulated camera: the transfers, the progress and the file as the camera
// keeps it, and sources that cannot be sent at all.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/camera/upload_fixture.h"

namespace {

using sim::TransferKind;
using upload_test::Pattern;
using Bytes = std::vector<uint8_t>;
using Progress = std::vector<std::pair<unsigned long, std::string>>;

class UploadCamera : public upload_test::UploadTest {
 protected:
  sim::SimCamera& Camera() { return static_cast<sim::SimCamera&>(*device_); }
};

uint32_t Le(const Bytes& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; i--) value = value << 8 | bytes[at + size_t(i)];
  return value;
}

TEST_F(UploadCamera, AFileGoesInChunksOf768AndArrivesWhole) {
  Bytes file = Pattern(1000);
  ASSERT_TRUE(Upload(folder_.Write("holiday.jpg", file)));
  EXPECT_EQ(OnCamera(), file);
  EXPECT_TRUE(Camera().Problems().empty()) << Camera().Problems().front();
  EXPECT_TRUE(alerts_.Texts().empty());
  EXPECT_EQ(host_.status, (std::vector<std::string>{"open 1000 Uploading holiday.jpg.", "close"}));
  EXPECT_EQ(host_.progress, (Progress{{0, "Uploading holiday.jpg."}, {768, ""}, {232, ""}}));

  ASSERT_EQ(Transfers().size(), 8u);
  const uint32_t chunks[2][2] = {{0, 768}, {768, 232}};
  for (int i = 0; i < 2; i++) {
    const sim::TransferRecord& announcement = Transfers()[size_t(4 * i)];
    const sim::TransferRecord& block = Transfers()[size_t(4 * i + 2)];
    auto [offset, n] = chunks[i];
    SCOPED_TRACE("chunk at " + std::to_string(offset));
    EXPECT_EQ(announcement.kind, TransferKind::kControl);
    EXPECT_EQ(announcement.request_type, 0x40);
    EXPECT_EQ(announcement.request, 0x04);
    EXPECT_EQ(announcement.value, 0x10);
    ASSERT_EQ(announcement.data.size(), 64u);
    EXPECT_EQ(Le(announcement.data, 6, 2), n + 122);
    EXPECT_EQ(Transfers()[size_t(4 * i + 1)].requested, 64u);
    EXPECT_EQ(Transfers()[size_t(4 * i + 1)].endpoint, 0x81);
    EXPECT_EQ(block.kind, TransferKind::kBulk);
    EXPECT_EQ(block.endpoint, 0x02);
    ASSERT_EQ(block.data.size(), n + 122);
    EXPECT_EQ(Le(block.data, 0, 2), n + 58);
    EXPECT_EQ(Le(block.data, 84, 4), offset);
    EXPECT_EQ(Le(block.data, 88, 2), n);
    EXPECT_EQ(Bytes(block.data.begin() + 122, block.data.end()),
              Bytes(file.begin() + offset, file.begin() + offset + n));
    EXPECT_EQ(Transfers()[size_t(4 * i + 3)].requested, 92u);
  }
}

TEST_F(UploadCamera, WholeChunksSendNoEmptyOneAndLargeFilesKeepTheirOrder) {
  Bytes exact = Pattern(2 * 768);
  ASSERT_TRUE(Upload(folder_.Write("exact.jpg", exact)));
  EXPECT_EQ(Transfers().size(), 8u);
  EXPECT_EQ(OnCamera(), exact);

  Bytes large = Pattern(1 << 20);
  ASSERT_TRUE(Upload(folder_.Write("large.jpg", large)));
  EXPECT_EQ(Transfers().size(), 4u * 1366);
  EXPECT_TRUE(OnCamera() == large);
}

TEST_F(UploadCamera, EveryUploadLandsAtTheOnePath) {
  ASSERT_TRUE(Upload(folder_.Write("first.jpg", Pattern(100))));
  Bytes second(300, 0x5A);
  ASSERT_TRUE(Upload(folder_.Write("second.jpg", second)));
  EXPECT_EQ(OnCamera(), second);
}

TEST_F(UploadCamera, AnEmptyFileSendsNothing) {
  ASSERT_TRUE(Upload(folder_.Write("empty.jpg", {})));
  EXPECT_TRUE(Transfers().empty());
  EXPECT_EQ(host_.status, (std::vector<std::string>{"open 0 Uploading empty.jpg.", "close"}));
  EXPECT_TRUE(alerts_.Texts().empty());
}

// Only a regular file has a size to send; opening a pipe must not wait for a writer either.
TEST_F(UploadCamera, AMissingFileOrOneThatIsNoFileIsToldAndNothingOpens) {
  ASSERT_EQ(mkfifo(folder_.Path("fifo").c_str(), 0600), 0);
  for (const char* name : {"missing.jpg", "fifo", ""}) {
    EXPECT_FALSE(Upload(folder_.Path(name))) << name;
    EXPECT_TRUE(Transfers().empty());
  }
  EXPECT_EQ(alerts_.Texts(), std::vector<std::string>(3, "Could not open the file"));
  EXPECT_TRUE(host_.status.empty());
}

TEST_F(UploadCamera, AFileNameIsOnlyEverText) {
  std::string name = "$(touch pwned);`touch pwned` 'x\".jpg";
  ASSERT_TRUE(Upload(folder_.Write(name, Pattern(10))));
  EXPECT_EQ(host_.progress.front().second, "Uploading " + name + ".");
  EXPECT_FALSE(std::filesystem::exists("pwned"));
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("pwned")));
}

}  // namespace

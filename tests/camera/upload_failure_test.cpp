// Uploads that fail: every transfer of a chunk, the pipes a device lacks, and source files
// that change or cannot be sent.
#include <unistd.h>

#include <gtest/gtest.h>

#include "sim/Descriptors.h"
#include "sim/SimCamera.h"
#include "tests/camera/upload_fixture.h"

namespace {

using upload_test::Pattern;
using Texts = std::vector<std::string>;

struct TransferCase {
  uint64_t transfer;    // counted from the first of the upload
  int64_t short_bytes;  // -1: the transfer fails; else it moves at most this many bytes
  const char* alert;    // none: the upload still goes through
  size_t progress;      // reports made, the first (with the text) included
};

class UploadTransferFault : public upload_test::UploadTest,
                            public testing::WithParamInterface<TransferCase> {};

TEST_P(UploadTransferFault, StopsWithItsAlertAfterClosingTheStatus) {
  const TransferCase& fault = GetParam();
  std::string path = folder_.Write("a.jpg", Pattern(1000));
  if (fault.short_bytes < 0)
    device_->FailTransfer(plugged_.Next(fault.transfer));
  else
    device_->ShortenTransfer(plugged_.Next(fault.transfer), uint32_t(fault.short_bytes));
  bool sent = Upload(path);
  EXPECT_EQ(host_.progress.size(), fault.progress);
  if (fault.alert == nullptr) {
    EXPECT_TRUE(sent);
    EXPECT_EQ(OnCamera(), Pattern(1000));
    return;
  }
  EXPECT_FALSE(sent);
  EXPECT_EQ(alerts_.Texts(), Texts{fault.alert});
  EXPECT_EQ(host_.status.back(), "close");
  EXPECT_EQ(host_.alerts_at_close, std::vector<size_t>{0});
  // Afterwards only the reads that bring the pipe back in step, and the delete of whatever
  // part reached the camera.
  EXPECT_TRUE(OnCamera().empty());
  std::vector<sim::TransferRecord> after(Transfers().begin() + long(fault.transfer),
                                         Transfers().end());
  ASSERT_GE(after.size(), 2u);
  for (size_t i = 0; i + 2 < after.size(); i++) EXPECT_EQ(after[i].endpoint, 0x81);
  EXPECT_EQ(after[after.size() - 2].data[68], 0x0D) << "delete";
  EXPECT_EQ(after.back().requested, 84u);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, UploadTransferFault,
                         testing::Values(TransferCase{1, -1, "Could not send picture (3)", 1},
                                         TransferCase{1, 63, "Could not send picture (3)", 1},
                                         TransferCase{2, -1, "Could not send picture (4)", 1},
                                         TransferCase{3, -1, "Could not send picture (5)", 1},
                                         TransferCase{3, 889, "Could not send picture (5)", 1},
                                         TransferCase{4, -1, "Could not send picture (6)", 2},
                                         TransferCase{7, -1, "Could not send picture (5)", 2},
                                         TransferCase{8, -1, "Could not send picture (6)", 3},
                                         TransferCase{2, 10, nullptr, 3},
                                         TransferCase{4, 0, nullptr, 3}));

struct PipeCase {
  std::vector<sim::EndpointDescriptorBytes> endpoints;
  const char* alert;
  const char* diagnostic;
};

class UploadPipes : public upload_test::UploadTest, public testing::WithParamInterface<PipeCase> {
 protected:
  UploadPipes()
      : UploadTest(std::make_shared<sim::SimDevice>(
            sim::MakeDeviceSet(0x04A9, 0x3049, GetParam().endpoints, u"Canon Inc.", u"Camera"))) {}
};

TEST_P(UploadPipes, AMissingOrWrongPipeIsTold) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Upload(folder_.Write("a.jpg", Pattern(10))));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), GetParam().diagnostic);
  EXPECT_EQ(alerts_.Texts(), Texts{GetParam().alert});
  EXPECT_EQ(host_.status, (Texts{"open 10 Uploading a.jpg.", "close"}));
  EXPECT_TRUE(Transfers().empty());
}

const auto kIn = sim::MakeEndpointDescriptor(0x81, sim::kBulk);
INSTANTIATE_TEST_SUITE_P(
    Endpoints, UploadPipes,
    testing::Values(PipeCase{{}, "Could not send picture (1)", ""},
                    PipeCase{{kIn}, "Could not send picture (2)", ""},
                    PipeCase{{kIn, sim::MakeEndpointDescriptor(0x82, sim::kBulk)},
                             "Error: no output bulk endpoint!!",
                             "oept: bulk no output\n"},
                    PipeCase{{kIn, sim::MakeEndpointDescriptor(0x02, sim::kInterrupt)},
                             "Error: no output bulk endpoint!!",
                             "oept: not bulk output\n"}));

class UploadSourceChange : public upload_test::UploadTest {};

// Changed under the upload, the file fails with its alert rather than going out mixed.
TEST_F(UploadSourceChange, AFileThatShrinksOrGrowsFails) {
  std::string path = folder_.Write("a.jpg", Pattern(1000));
  host_.on_progress = [&](unsigned long delta) {
    if (delta == 768) {
      ASSERT_EQ(truncate(path.c_str(), 800), 0);
    }
  };
  EXPECT_FALSE(Upload(path));
  EXPECT_EQ(Transfers().size(), 6u) << "a chunk, then the delete of it";
  EXPECT_TRUE(OnCamera().empty());
  EXPECT_EQ(alerts_.Texts(), std::vector<std::string>{"Could not read the file to upload."});
  EXPECT_EQ(host_.status.back(), "close");

  host_.on_progress = [&](unsigned long delta) {
    if (delta == 32) {
      ASSERT_EQ(truncate(path.c_str(), 900), 0);
    }
  };
  EXPECT_FALSE(Upload(path));
  EXPECT_EQ(Transfers().size(), 10u) << "all 800 bytes went, but the file had more";
  EXPECT_TRUE(OnCamera().empty());
  EXPECT_EQ(alerts_.Texts().size(), 2u);
}

// A card with room for the first chunk only refuses the second: the upload fails, and what
// reached the card is deleted, giving its space back.
TEST_F(UploadSourceChange, AFullCardRefusesTheChunkItHasNoRoomFor) {
  auto& camera = static_cast<sim::SimCamera&>(*device_);
  sim::CameraInfo info = camera.Info();
  info.disk_free = 1000;
  camera.SetInfo(info);
  EXPECT_FALSE(Upload(folder_.Write("a.jpg", Pattern(1500))));
  EXPECT_EQ(alerts_.Texts(), Texts{"The camera did not store the picture: its card may be full."});
  EXPECT_TRUE(OnCamera().empty());
  EXPECT_EQ(camera.Info().disk_free, 1000u);
}

TEST_F(UploadSourceChange, AFileBeyondThe32BitOffsetsIsRefused) {
  std::string path = folder_.Write("huge.jpg", {});
  ASSERT_EQ(truncate(path.c_str(), (off_t(1) << 32) + 1), 0);  // sparse: takes no space
  device_->FailTransfer(plugged_.Next());  // an upload that starts all the same ends at once
  EXPECT_FALSE(Upload(path));
  EXPECT_EQ(alerts_.Texts(), Texts{"The file is too large for the camera"});
  EXPECT_TRUE(host_.status.empty());
  EXPECT_TRUE(Transfers().empty());
}

}  // namespace

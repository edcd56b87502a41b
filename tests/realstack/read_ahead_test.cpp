// Pictures through libusb with pieces in flight, against the emulated kernel: whichever piece
// of a picture fails, and however, the picture leaves no file and the next one comes whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/ixus_getfile.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/usbfs/CameraTestbed.h"
#include "sim/usbfs/MockEnvironment.h"
#include "tests/camera/thumbs_host.h"
#include "tests/support/AlertRecorder.h"
#include "usb/USBDevice.h"

namespace {

constexpr char kNode[] = "/dev/bus/usb/001/002";
constexpr uint32_t kSize = 10 * 4096 + 1000;  // eleven pieces, the last a short one

std::shared_ptr<sim::SimCamera> camera;

sim::CameraFile Counting(const char* name, uint8_t seed) {
  sim::CameraFile file{name, sim::kAttributeNew, 1000, {}};
  for (uint32_t i = 0; i < kSize; ++i) file.bytes.push_back(uint8_t(i * 7 + seed));
  return file;
}

std::string Folder(const char* name) {
  return std::string("D:\\DCIM\\100CANON\\") + name;
}

struct Fault {
  const char* name;
  uint64_t piece;  // of the first picture's data, from 1
  void (*inject)(sim::SimDevice& device, uint64_t number, uint32_t bytes);
  uint32_t bytes;
  // A short piece ends the transfer, not the reply: the camera's next bytes follow in the
  // next piece, and the picture still comes whole.
  bool whole;
};

void Fail(sim::SimDevice& device, uint64_t number, uint32_t) {
  device.FailTransfer(number);
}

void FailAfter(sim::SimDevice& device, uint64_t number, uint32_t bytes) {
  device.FailTransferAfter(number, bytes);
}

void Shorten(sim::SimDevice& device, uint64_t number, uint32_t bytes) {
  device.ShortenTransfer(number, bytes);
}

class ReadAhead : public testing::TestWithParam<Fault> {
 protected:
  ReadAhead() {
    char folder[] = "/tmp/pictrove-read-ahead-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) ADD_FAILURE() << "no scratch folder";
    folder_ = folder;
    device_ = std::make_unique<USBDevice>(kNode);
    device_->SetConfiguration(device_->ConfigurationAt(0));
  }
  ~ReadAhead() override {
    device_.reset();
    std::filesystem::remove_all(folder_);
  }

  bool Get(const char* name) {
    pic_Item record(Folder(name).c_str(), pic_Item::kNew, kSize, 1000, nullptr, 0, 0);
    record.set_Orientation(1);
    return ixus_getfile(device_.get(), host_.CameraBuffer(), Folder(name).c_str(), &record);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
      names.push_back(entry.path().filename());
    return names;
  }
  static std::vector<uint8_t> Bytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  listing_test::RecordingHost host_;
  testsupport::AlertRecorder alerts_;
  std::string folder_;
  std::unique_ptr<USBDevice> device_;
};

TEST_F(ReadAhead, APictureComesWhole) {
  EXPECT_TRUE(Get("IMG_0002.JPG"));
  EXPECT_EQ(Bytes("IMG_0002.JPG"), Counting("IMG_0002.JPG", 2).bytes);
  EXPECT_TRUE(alerts_.Texts().empty());
}

TEST_P(ReadAhead, APieceGoneWrongLosesNothingAndTheNextPictureComesWhole) {
  const Fault& fault = GetParam();
  // The command, the reply header, then the pieces.
  uint64_t number = camera->TransferCount() + 2 + fault.piece;
  fault.inject(*camera, number, fault.bytes);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Get("IMG_0001.JPG"), fault.whole);
  testing::internal::GetCapturedStderr();
  const std::vector<std::string> alerts =
      fault.whole ? std::vector<std::string>{} : std::vector<std::string>{"Transfer failed"};
  EXPECT_EQ(alerts_.Texts(), alerts);
  EXPECT_TRUE(Get("IMG_0002.JPG"));
  std::vector<std::string> names = Names();
  std::sort(names.begin(), names.end());
  const std::vector<std::string> kept =
      fault.whole ? std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG"}
                  : std::vector<std::string>{"IMG_0002.JPG"};
  EXPECT_EQ(names, kept);
  if (fault.whole) {
    EXPECT_EQ(Bytes("IMG_0001.JPG"), Counting("IMG_0001.JPG", 1).bytes);
  }
  EXPECT_EQ(Bytes("IMG_0002.JPG"), Counting("IMG_0002.JPG", 2).bytes);
}

const Fault kFaults[] = {
    {"FirstPieceFails", 1, &Fail, 0, false},
    {"SecondPieceFails", 2, &Fail, 0, false},
    {"PieceInTheMiddleFails", 6, &Fail, 0, false},
    {"ShortLastPieceFails", 11, &Fail, 0, false},
    {"FirstPieceFailsAfterSomeBytes", 1, &FailAfter, 100, false},
    {"PieceFailsAfterAPacket", 5, &FailAfter, 64, false},
    {"LastPieceFailsAfterSomeBytes", 11, &FailAfter, 999, false},
    {"PieceInTheMiddleComesShort", 6, &Shorten, 100, true},
    {"FirstPieceComesEmpty", 1, &Shorten, 0, true},
    {"LastPieceComesShort", 11, &Shorten, 10, true},
};

INSTANTIATE_TEST_SUITE_P(Everywhere, ReadAhead, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
  sim::EnterMockEnvironment(argv);
  testing::InitGoogleTest(&argc, argv);
  camera = std::make_shared<sim::SimCamera>();
  camera->AddFile("100CANON", Counting("IMG_0001.JPG", 1));
  camera->AddFile("100CANON", Counting("IMG_0002.JPG", 2));
  sim::CameraTestbed bed(camera);
  bed.Plug();
  kit::InstallPlatform(kit::MakeHostPlatform());
  int result = RUN_ALL_TESTS();
  camera.reset();
  return result;
}

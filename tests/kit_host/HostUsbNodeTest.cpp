#include "kit/host/HostUsbNode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
// kit keeps libusb private: its include folder is not on this suite's path.
#include <libusb.h>

#include <cstring>
#include <map>

#include "tests/kit_host/DescriptorBlobs.h"

namespace {

using hosttest::Bytes;
using testing::ElementsAre;
using testing::IsEmpty;

// What the fake device does. Every call is logged with its arguments in decimal; `fail`
// makes the calls of one name return that result.
struct Script {
  int configuration = 0;  // current bConfigurationValue
  std::map<std::string, int> fail;
  std::map<int, Bytes> strings;  // 0 is the language table
  Bytes input;                   // what reads deliver
  std::vector<std::string> calls;
};

class FakeHandle : public kit::UsbHandle {
 public:
  explicit FakeHandle(std::shared_ptr<Script> script) : s_(std::move(script)) {}

  int GetConfiguration(int* value) override {
    *value = s_->configuration;
    return Log("get");
  }
  int SetConfiguration(int value) override {
    int result = Log("set", value);
    if (result == 0) s_->configuration = value;
    return result;
  }
  int ClaimInterface(int number) override { return Log("claim", number); }
  int ReleaseInterface(int number) override { return Log("release", number); }
  int ControlTransfer(uint8_t type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                      uint16_t length) override {
    int result = Log("control", type, request, value, index, length);
    return result != 0 ? result : Move(type & 0x80, s_->input, data, length);
  }
  int StringDescriptor(uint8_t index, uint16_t language, uint8_t* data, int length) override {
    Log("string", index, language, length);
    auto found = s_->strings.find(index);
    return found == s_->strings.end() ? LIBUSB_ERROR_PIPE : Move(true, found->second, data, length);
  }
  int BulkTransfer(uint8_t endpoint, uint8_t* data, int length, int* moved) override {
    return Transfer("bulk", endpoint, data, length, moved);
  }
  int InterruptTransfer(uint8_t endpoint, uint8_t* data, int length, int* moved) override {
    return Transfer("interrupt", endpoint, data, length, moved);
  }
  void StartReadAhead(uint8_t endpoint, uint64_t total, uint32_t piece) override {
    Log("ahead", endpoint, total, piece);
  }
  void EndReadAhead(uint8_t endpoint) override { Log("end", endpoint); }

 private:
  template <typename... Values>
  int Log(std::string name, Values... values) {
    int result = s_->fail[name];
    ((name += " " + std::to_string(int(values))), ...);
    s_->calls.push_back(name);
    return result;
  }
  int Transfer(const char* name, uint8_t endpoint, uint8_t* data, int length, int* moved) {
    int result = Log(name, endpoint, length);
    if (result == 0) *moved = Move(endpoint & 0x80, s_->input, data, length);
    return result;
  }
  static int Move(bool in, const Bytes& from, uint8_t* to, int length) {
    if (!in) return length;
    int copied = std::min(length, int(from.size()));
    if (copied > 0) memcpy(to, from.data(), size_t(copied));
    return copied;
  }

  std::shared_ptr<Script> s_;
};

bool Refused(const kit::RawReply& reply) {
  return reply.call == 0 && reply.status != 0;
}

class HostUsbNodeTest : public testing::Test {
 protected:
  void Open(Bytes blob = hosttest::CameraBlob()) {
    node_ = std::make_unique<kit::HostUsbNode>(std::make_unique<FakeHandle>(script_),
                                               kit::UsbfsDescriptors(std::move(blob)));
  }
  std::vector<std::string> Calls() { return std::exchange(script_->calls, {}); }

  std::shared_ptr<Script> script_ = std::make_shared<Script>();
  std::unique_ptr<kit::HostUsbNode> node_;
  uint8_t data_[64] = {};
  uint32_t length_ = sizeof data_;
};

TEST_F(HostUsbNodeTest, DescriptorsComeFromTheBlobAlone) {
  Open(hosttest::TwoConfigurations());
  uint32_t version = 0;
  EXPECT_TRUE(node_->DriverVersion(&version).Ok() && version == 0x0015);
  ASSERT_TRUE(node_->DeviceDescriptor(data_).Ok());
  EXPECT_EQ(Bytes(data_, data_ + 18), hosttest::Device(2));
  ASSERT_TRUE(node_->EndpointDescriptor(1, 0, 0, data_).Ok());
  EXPECT_EQ(Bytes(data_, data_ + 7), hosttest::Endpoint(0x82, 2, 64));
  memset(data_, 0xee, sizeof data_);
  ASSERT_TRUE(node_->OtherDescriptor(0, 0, 0, data_, 3).Ok());  // no more than the buffer
  EXPECT_EQ(Bytes(data_, data_ + 4), (Bytes{5, 0x24, 7, 0xee}));
  EXPECT_TRUE(Refused(node_->ConfigurationDescriptor(2, data_)));
  EXPECT_TRUE(Refused(node_->InterfaceDescriptor(0, 1, data_)));
  EXPECT_TRUE(Refused(node_->OtherDescriptor(1, 0, 0, data_, sizeof data_)));
  EXPECT_THAT(Calls(), IsEmpty());
  Open(Bytes(10, 0));  // the device model judges this request by the call alone
  EXPECT_NE(node_->DeviceDescriptor(data_).call, 0);
}

TEST_F(HostUsbNodeTest, ConfigurationIsSetOnlyWhenItChanges) {
  Open(hosttest::TwoConfigurations());
  EXPECT_TRUE(node_->SetConfiguration(0).Ok());
  EXPECT_THAT(Calls(), ElementsAre("get", "set 4", "claim 1"));
  EXPECT_TRUE(node_->SetConfiguration(0).Ok());
  EXPECT_THAT(Calls(), ElementsAre("get"));
  EXPECT_TRUE(node_->SetConfiguration(1).Ok());
  EXPECT_THAT(Calls(), ElementsAre("get", "release 1", "set 9", "claim 3"));
  EXPECT_TRUE(Refused(node_->SetConfiguration(2)));
  EXPECT_THAT(Calls(), IsEmpty());
  script_->configuration = 4;  // as the kernel may leave it
  Open(hosttest::TwoConfigurations());
  EXPECT_TRUE(node_->SetConfiguration(0).Ok());
  EXPECT_THAT(Calls(), ElementsAre("release 3", "get", "claim 1"));  // the old node closed
}

TEST_F(HostUsbNodeTest, FailedStepsOfSettingAConfiguration) {
  script_->fail["set"] = LIBUSB_ERROR_BUSY;
  Open();
  EXPECT_FALSE(node_->SetConfiguration(0).Ok());
  EXPECT_TRUE(Refused(node_->BulkTransfer(0, 0, data_, &length_)));  // nothing active
  script_->fail = {{"claim", LIBUSB_ERROR_BUSY}};
  EXPECT_FALSE(node_->SetConfiguration(0).Ok());
  script_->fail = {};
  Calls();
  EXPECT_TRUE(node_->SetConfiguration(0).Ok());
  EXPECT_THAT(Calls(), ElementsAre("get", "claim 0"));  // the claim is tried again
  script_->fail = {{"get", LIBUSB_ERROR_IO}};           // what is current is unknown: set it
  EXPECT_TRUE(node_->SetConfiguration(0).Ok());
  EXPECT_THAT(Calls(), ElementsAre("get", "release 0", "set 1", "claim 0"));
}

TEST_F(HostUsbNodeTest, TransfersGoToTheEndpointsOfTheActiveConfiguration) {
  Open(hosttest::TwoConfigurations());
  EXPECT_TRUE(Refused(node_->BulkTransfer(0, 0, data_, &length_)));
  ASSERT_TRUE(node_->SetConfiguration(1).Ok());
  Calls();
  script_->input = {1, 2, 3, 4, 5};
  ASSERT_TRUE(node_->BulkTransfer(0, 0, data_, &length_).Ok());
  EXPECT_EQ(Bytes(data_, data_ + length_), script_->input);  // a short read is no failure
  EXPECT_TRUE(Refused(node_->BulkTransfer(0, 1, data_, &length_)));
  EXPECT_TRUE(Refused(node_->InterruptTransfer(1, 0, data_, &length_)));
  EXPECT_THAT(Calls(), ElementsAre("bulk 130 64"));  // 0x82: configuration 1's, not 0's
  Open();
  ASSERT_TRUE(node_->SetConfiguration(0).Ok());
  Calls();
  uint32_t command = 3, interrupt = 16;
  ASSERT_TRUE(node_->BulkTransfer(0, 1, data_, &command).Ok() && command == 3);
  ASSERT_TRUE(node_->InterruptTransfer(0, 2, data_, &interrupt).Ok());
  script_->fail["bulk"] = LIBUSB_ERROR_TIMEOUT;
  EXPECT_FALSE(node_->BulkTransfer(0, 0, data_, &length_).Ok());
  EXPECT_THAT(Calls(), ElementsAre("bulk 2 3", "interrupt 131 16", "bulk 129 5"));
}

TEST_F(HostUsbNodeTest, OnlyInputEndpointsOfTheActiveConfigurationReadAhead) {
  Open(hosttest::TwoConfigurations());
  node_->StartReadAhead(0, 0, 6000, 4096);  // no configuration yet
  ASSERT_TRUE(node_->SetConfiguration(1).Ok());
  Calls();
  node_->StartReadAhead(0, 0, 6000, 4096);
  node_->EndReadAhead(0, 0);
  node_->StartReadAhead(0, 1, 6000, 4096);  // no such endpoint
  EXPECT_THAT(Calls(), ElementsAre("ahead 130 6000 4096", "end 130"));
  Open();
  ASSERT_TRUE(node_->SetConfiguration(0).Ok());
  Calls();
  node_->StartReadAhead(0, 1, 6000, 4096);  // the output pipe
  node_->StartReadAhead(0, 0, 6000, 0);
  EXPECT_THAT(Calls(), IsEmpty());
  node_->StartReadAhead(0, 0, 6000, 4096);
  EXPECT_THAT(Calls(), ElementsAre("ahead 129 6000 4096"));
}

TEST_F(HostUsbNodeTest, ControlTransfersStringsAndOtherDescriptors) {
  script_->input = {9, 8, 7};
  script_->strings[2] = {6, 3, 'P', 0, 'S', 0};
  Open();
  uint16_t length = 8, none = 0;
  ASSERT_TRUE(node_->ControlTransfer(0xc0, 4, 0x11, 0x22, &length, data_).Ok() && length == 3);
  ASSERT_TRUE(node_->ControlTransfer(0x40, 5, 1, 2, &none, nullptr).Ok() && none == 0);
  ASSERT_TRUE(node_->Descriptor(0x21, 1, 0x0409, data_, &length_).Ok() && length_ == 3);
  uint32_t huge = 100000;  // wLength has 16 bits
  std::vector<uint8_t> large(huge);
  ASSERT_TRUE(node_->Descriptor(0x22, 0, 0, large.data(), &huge).Ok());
  EXPECT_THAT(Calls(), ElementsAre("control 192 4 17 34 8", "control 64 5 1 2 0",
                                   "control 128 6 8449 1033 64", "control 128 6 8704 0 65535"));
  EXPECT_FALSE(node_->StringDescriptor(2, data_, &length_).Ok());  // no language table
  EXPECT_TRUE(Refused(node_->StringDescriptor(256, data_, &length_)));
  script_->strings[0] = {6, 3, 0x07, 0x04, 0x09, 0x04};
  Calls();
  for (uint32_t index : {2, 2, 0}) {  // string 0 is the table itself
    length_ = sizeof data_;
    ASSERT_TRUE(node_->StringDescriptor(index, data_, &length_).Ok());
    EXPECT_EQ(Bytes(data_, data_ + length_), script_->strings[index]);
  }
  EXPECT_THAT(Calls(), ElementsAre("string 0 0 255", "string 2 1031 64", "string 2 1031 64",
                                   "string 0 0 64"));
  script_->fail["control"] = LIBUSB_ERROR_PIPE;
  EXPECT_FALSE(node_->ControlTransfer(0xc0, 4, 0, 0, &length, data_).Ok());
}

TEST_F(HostUsbNodeTest, AfterTheDeviceIsGoneEveryRequestFailsAtOnce) {
  Open();
  ASSERT_TRUE(node_->SetConfiguration(0).Ok());
  script_->fail["bulk"] = LIBUSB_ERROR_NO_DEVICE;
  EXPECT_FALSE(node_->BulkTransfer(0, 0, data_, &length_).Ok());
  Calls();
  uint32_t version;
  uint16_t control = 0;
  EXPECT_NE(node_->DriverVersion(&version).call, 0);
  EXPECT_NE(node_->DeviceDescriptor(data_).call, 0);
  EXPECT_FALSE(node_->EndpointDescriptor(0, 0, 0, data_).Ok());
  EXPECT_FALSE(node_->StringDescriptor(0, data_, &length_).Ok());
  EXPECT_FALSE(node_->SetConfiguration(0).Ok());
  EXPECT_FALSE(node_->ControlTransfer(0x40, 1, 0, 0, &control, data_).Ok());
  EXPECT_FALSE(node_->InterruptTransfer(0, 2, data_, &length_).Ok());
  script_->fail = {{"get", LIBUSB_ERROR_NO_DEVICE}};  // gone while selecting one
  Open();
  EXPECT_THAT(Calls(), IsEmpty());  // the old node did not even release
  EXPECT_FALSE(node_->SetConfiguration(0).Ok());
  EXPECT_FALSE(node_->ControlTransfer(0x40, 1, 0, 0, &control, nullptr).Ok());
  EXPECT_THAT(Calls(), ElementsAre("get"));
}

}  // namespace

#include "sim/SimDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// Echoes control OUT data back on the next control IN and serves bulk IN reads from a
// counter, so that transfers have something to move.
class EchoDevice : public sim::SimDevice {
 public:
  explicit EchoDevice(sim::DescriptorSet set) : SimDevice(std::move(set)) {}

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup& setup, uint8_t* data,
                              uint32_t* length) override {
    if (!setup.IsInput()) {
      kept_.assign(data, data + *length);
      return {};
    }
    *length = std::min<uint32_t>(*length, kept_.size());
    std::memcpy(data, kept_.data(), *length);
    return {};
  }
  kit::RawReply HandlePipe(sim::TransferKind, uint8_t endpoint, uint8_t* data,
                           uint32_t* length) override {
    if (!(endpoint & 0x80)) return {};
    for (uint32_t i = 0; i < *length; ++i) data[i] = next_++;
    return {};
  }

 private:
  std::vector<uint8_t> kept_;
  uint8_t next_ = 0;
};

sim::DescriptorSet TwoConfigurations() {
  sim::DescriptorSet set = sim::MakeDeviceSet(
      0x1234, 0x5678,
      {sim::MakeEndpointDescriptor(0x81, sim::kBulk), sim::MakeEndpointDescriptor(0x02, sim::kBulk),
       sim::MakeEndpointDescriptor(0x83, sim::kInterrupt)},
      u"Maker", u"Thing");
  sim::ConfigurationSpec second;
  second.descriptor = sim::MakeConfigurationDescriptor(1, 2);
  second.interfaces.push_back({sim::MakeInterfaceDescriptor(0, 0), {}, {{3, 0x24, 7}}});
  set.configurations.push_back(second);
  sim::FitCounts(set);
  return set;
}

uint32_t Bulk(sim::SimDevice& device, uint32_t endpoint, uint8_t* data, uint32_t length, bool* ok) {
  *ok = device.BulkTransfer(0, endpoint, data, &length).Ok();
  return length;
}

TEST(Descriptors, NormalSetCountsWhatItHolds) {
  sim::DescriptorSet set = TwoConfigurations();
  EXPECT_EQ(set.device[17], 2);
  EXPECT_EQ(set.configurations[0].descriptor[4], 1);
  EXPECT_EQ(set.configurations[0].interfaces[0].descriptor[4], 3);
  EXPECT_EQ(set.configurations[0].descriptor[2], 9 + 9 + 3 * 7);
  EXPECT_EQ(set.configurations[1].interfaces[0].descriptor[4], 0);
  EXPECT_EQ(set.strings[1], (std::vector<uint8_t>{12, 3, 'M', 0, 'a', 0, 'k', 0, 'e', 0, 'r', 0}));
}

TEST(Descriptors, NonsenseSetsSayWhatTheyDoNotHave) {
  sim::DescriptorSet lying = sim::ClaimingConfigurations(TwoConfigurations(), 255);
  EXPECT_EQ(lying.device[17], 255);
  EXPECT_EQ(lying.configurations.size(), 2u);
  sim::DescriptorSet bare = sim::MakeEndpointlessSet(0x04A9, 0x3042);
  EXPECT_TRUE(bare.configurations[0].interfaces[0].endpoints.empty());
  std::vector<uint8_t> overlong = sim::MakeOverlongString(u"ab", 200);
  EXPECT_EQ(overlong.size(), 6u);
  EXPECT_EQ(overlong[0], 200);
  EXPECT_EQ(sim::MakeStringDescriptor(std::u16string(300, u'x')).size(), 254u);
  EXPECT_EQ(sim::MakeHubSet().device[4], 9);
}

TEST(SimDevice, AnswersDescriptorRequestsByPosition) {
  sim::SimDevice device(sim::ClaimingConfigurations(TwoConfigurations(), 255));
  uint32_t version = 0;
  ASSERT_TRUE(device.DriverVersion(&version).Ok());
  EXPECT_EQ(version, 0x0015u);
  uint8_t d[18];
  ASSERT_TRUE(device.DeviceDescriptor(d).Ok());
  EXPECT_EQ(d[17], 255);
  uint8_t c[9];
  EXPECT_TRUE(device.ConfigurationDescriptor(1, c).Ok());
  EXPECT_EQ(c[5], 2);
  EXPECT_FALSE(device.ConfigurationDescriptor(2, c).Ok()) << "only two are real";
  uint8_t i[9];
  EXPECT_TRUE(device.InterfaceDescriptor(0, 0, i).Ok());
  EXPECT_FALSE(device.InterfaceDescriptor(0, 1, i).Ok());
  uint8_t e[7];
  EXPECT_TRUE(device.EndpointDescriptor(0, 0, 2, e).Ok());
  EXPECT_EQ(e[2], 0x83);
  EXPECT_FALSE(device.EndpointDescriptor(0, 0, 3, e).Ok());
  EXPECT_FALSE(device.EndpointDescriptor(1, 0, 0, e).Ok());

  uint8_t s[255];
  uint32_t length = 4;
  ASSERT_TRUE(device.StringDescriptor(2, s, &length).Ok());
  EXPECT_EQ(length, 4u) << "cut to the buffer";
  length = 255;
  ASSERT_TRUE(device.StringDescriptor(2, s, &length).Ok());
  EXPECT_EQ(length, 12u);
  EXPECT_FALSE(device.StringDescriptor(9, s, &length).Ok());

  uint8_t other[8] = {};
  EXPECT_TRUE(device.OtherDescriptor(1, 0, 0, other, sizeof other).Ok());
  EXPECT_EQ(other[1], 0x24);
  EXPECT_FALSE(device.OtherDescriptor(1, 0, 1, other, sizeof other).Ok());

  uint8_t any[64];
  length = sizeof any;
  ASSERT_TRUE(device.Descriptor(2, 0, 0, any, &length).Ok());
  EXPECT_EQ(length, 9u + 9 + 3 * 7) << "configuration, interface and endpoints";
  EXPECT_EQ(any[9 + 9 + 2], 0x81);
  length = sizeof any;
  EXPECT_FALSE(device.Descriptor(2, 5, 0, any, &length).Ok());
}

TEST(SimDevice, InjectedDescriptorFaultsLeaveGaps) {
  sim::SimDevice device(TwoConfigurations());
  device.FailDescriptor({sim::DescriptorKind::kConfiguration, 0});
  device.FailDescriptor({sim::DescriptorKind::kEndpoint, 0, 0, 1});
  device.FailDescriptor({sim::DescriptorKind::kString, 1});
  uint8_t c[9], e[7], s[32];
  uint32_t length = sizeof s;
  EXPECT_FALSE(device.ConfigurationDescriptor(0, c).Ok());
  EXPECT_TRUE(device.ConfigurationDescriptor(1, c).Ok());
  EXPECT_TRUE(device.EndpointDescriptor(0, 0, 0, e).Ok());
  EXPECT_FALSE(device.EndpointDescriptor(0, 0, 1, e).Ok());
  EXPECT_TRUE(device.EndpointDescriptor(0, 0, 2, e).Ok());
  EXPECT_FALSE(device.StringDescriptor(1, s, &length).Ok());
  EXPECT_TRUE(device.StringDescriptor(2, s, &length).Ok());

  device.FailDescriptor({sim::DescriptorKind::kDevice});
  uint8_t d[18];
  EXPECT_FALSE(device.DeviceDescriptor(d).Ok());
  device.SetDriverVersion(0x0014);
  uint32_t version = 0;
  ASSERT_TRUE(device.DriverVersion(&version).Ok());
  EXPECT_EQ(version, 0x0014u);
  device.FailVersionCall();
  EXPECT_EQ(device.DriverVersion(&version).call, -1);
}

TEST(SimDevice, TransfersNeedAnActiveConfigurationWithThatEndpoint) {
  EchoDevice device(TwoConfigurations());
  uint8_t data[8];
  bool ok = true;
  Bulk(device, 0, data, 8, &ok);
  EXPECT_FALSE(ok) << "no configuration selected yet";
  EXPECT_EQ(device.ActiveConfiguration(), -1);

  ASSERT_TRUE(device.SetConfiguration(0).Ok());
  EXPECT_EQ(Bulk(device, 0, data, 8, &ok), 8u);
  EXPECT_TRUE(ok);
  uint32_t length = 8;
  EXPECT_FALSE(device.InterruptTransfer(0, 0, data, &length).Ok()) << "endpoint 0 is bulk";
  length = 8;
  EXPECT_TRUE(device.InterruptTransfer(0, 2, data, &length).Ok());
  Bulk(device, 2, data, 8, &ok);
  EXPECT_FALSE(ok) << "endpoint 2 is interrupt";
  EXPECT_FALSE(device.SetConfiguration(2).Ok());
  EXPECT_EQ(device.ActiveConfiguration(), 0) << "a refused selection changes nothing";

  ASSERT_TRUE(device.SetConfiguration(1).Ok());
  Bulk(device, 0, data, 8, &ok);
  EXPECT_FALSE(ok) << "the second configuration has no endpoint";
  uint16_t control = 0;
  EXPECT_TRUE(device.ControlTransfer(0x40, 1, 0, 0, &control, nullptr).Ok())
      << "the control pipe needs no configuration";
}

TEST(SimDevice, SetConfigurationFaults) {
  sim::SimDevice device(TwoConfigurations());
  ASSERT_TRUE(device.SetConfiguration(0).Ok());
  device.FailSetConfiguration(sim::ConfigurationFault::kCallFails);
  EXPECT_NE(device.SetConfiguration(1).call, 0);
  device.FailSetConfiguration(sim::ConfigurationFault::kStatusNonZero);
  kit::RawReply reply = device.SetConfiguration(1);
  EXPECT_EQ(reply.call, 0);
  EXPECT_NE(reply.status, 0u);
  EXPECT_EQ(device.ActiveConfiguration(), 0);
  device.FailSetConfiguration(sim::ConfigurationFault::kNone);
  EXPECT_TRUE(device.SetConfiguration(1).Ok());
}

TEST(SimDevice, LogsEveryTransferWithItsBytes) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  uint8_t out[3] = {7, 8, 9};
  uint16_t length = 3;
  ASSERT_TRUE(device.ControlTransfer(0x40, 4, 0x10, 2, &length, out).Ok());
  uint8_t in[5] = {};
  length = 5;
  ASSERT_TRUE(device.ControlTransfer(0xC0, 4, 1, 0, &length, in).Ok());
  EXPECT_EQ(length, 3);
  bool ok;
  Bulk(device, 1, out, 2, &ok);
  uint32_t none = 4;
  device.BulkTransfer(0, 7, in, &none);

  std::vector<sim::TransferRecord> log = device.Transfers();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].kind, sim::TransferKind::kControl);
  EXPECT_EQ(log[0].request_type, 0x40);
  EXPECT_EQ(log[0].request, 4);
  EXPECT_EQ(log[0].value, 0x10);
  EXPECT_EQ(log[0].index, 2);
  EXPECT_EQ(log[0].data, (std::vector<uint8_t>{7, 8, 9}));
  EXPECT_EQ(log[1].requested, 5u);
  EXPECT_EQ(log[1].transferred, 3u);
  EXPECT_EQ(log[1].data, (std::vector<uint8_t>{7, 8, 9}));
  EXPECT_TRUE(log[1].IsInput());
  EXPECT_EQ(log[2].kind, sim::TransferKind::kBulk);
  EXPECT_EQ(log[2].endpoint, 0x02);
  EXPECT_EQ(log[2].data, (std::vector<uint8_t>{7, 8}));
  EXPECT_FALSE(log[3].Ok());
  EXPECT_EQ(log[3].endpoint, 0) << "position 7 names no endpoint";
  EXPECT_EQ(device.TransferCount(), 4u);
  device.ClearTransfers();
  EXPECT_TRUE(device.Transfers().empty());
  EXPECT_EQ(device.TransferCount(), 4u) << "numbering goes on";
}

TEST(SimDevice, TransferFaultsHitTheNumberedTransferOnly) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  device.FailTransfer(2);
  device.ShortenTransfer(3, 5);
  device.ShortenTransfer(4, 0);
  uint8_t data[16];
  bool ok;
  EXPECT_EQ(Bulk(device, 0, data, 16, &ok), 16u);
  EXPECT_TRUE(ok);
  uint16_t length = 1;
  EXPECT_FALSE(device.ControlTransfer(0x40, 0x0C, 0, 0, &length, data).Ok()) << "second";
  EXPECT_EQ(Bulk(device, 0, data, 16, &ok), 5u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Bulk(device, 0, data, 16, &ok), 0u);
  EXPECT_TRUE(ok) << "an empty transfer is no failure";
  EXPECT_EQ(Bulk(device, 0, data, 16, &ok), 16u);
  EXPECT_EQ(data[0], 21) << "a short read consumed only what it delivered";
}

TEST(SimDevice, AGoneDeviceFailsEveryRequest) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  device.UnplugAtTransfer(2);
  uint8_t data[16];
  bool ok;
  Bulk(device, 0, data, 16, &ok);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(device.IsGone());
  Bulk(device, 0, data, 16, &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(device.IsGone());
  uint32_t version;
  uint8_t d[18];
  EXPECT_FALSE(device.DriverVersion(&version).Ok());
  EXPECT_FALSE(device.DeviceDescriptor(d).Ok());
  EXPECT_FALSE(device.SetConfiguration(0).Ok());
  uint16_t length = 0;
  EXPECT_FALSE(device.ControlTransfer(0x40, 1, 0, 0, &length, nullptr).Ok());
  EXPECT_EQ(device.Transfers().size(), 3u) << "failures are logged too";
}

TEST(SimDevice, UnplugHandlerRunsOnceOutsideTheLock) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  int calls = 0;
  device.SetUnplugHandler([&] {
    ++calls;
    EXPECT_TRUE(device.IsGone());  // would deadlock if the device still held its lock
  });
  device.UnplugAtTransfer(1);
  uint8_t data[4];
  bool ok;
  Bulk(device, 0, data, 4, &ok);
  device.Unplug();
  EXPECT_EQ(calls, 1);
}

TEST(SimDevice, PacedBulkDataArrivesWholeAndInOrder) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  device.PaceBulk(64 * 1024);
  std::vector<uint8_t> got;
  for (int i = 0; i < 8; ++i) {
    uint8_t data[1000];
    bool ok;
    uint32_t n = Bulk(device, 0, data, sizeof data, &ok);
    ASSERT_TRUE(ok);
    got.insert(got.end(), data, data + n);
  }
  ASSERT_EQ(got.size(), 8000u);
  for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], uint8_t(i)) << i;
}

TEST(SimDevice, PacingHoldsTheReadBackWithoutHoldingTheDevice) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  device.PaceBulk(1000);  // the 1000 bytes below are due a second after they start
  std::atomic<bool> returned{false};
  std::thread reader([&] {
    uint8_t data[1000];
    bool ok;
    Bulk(device, 0, data, sizeof data, &ok);
    returned = true;
  });
  while (device.TransferCount() == 0) std::this_thread::yield();
  EXPECT_FALSE(returned.load()) << "the read is still being paced";
  EXPECT_EQ(device.Transfers().size(), 1u) << "and the device answers meanwhile";
  reader.join();
  EXPECT_TRUE(returned.load());
}

TEST(SimDevice, TransfersAndUnplugFromOtherThreadsAgree) {
  EchoDevice device(TwoConfigurations());
  device.SetConfiguration(0);
  std::vector<std::thread> readers;
  std::atomic<int> failures_after_gone{0};
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        uint8_t data[64];
        uint32_t length = sizeof data;
        bool gone_before = device.IsGone();
        bool ok = device.BulkTransfer(0, 0, data, &length).Ok();
        if (gone_before && ok) ++failures_after_gone;
      }
    });
  }
  std::this_thread::yield();
  device.Unplug();
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(failures_after_gone.load(), 0);
  EXPECT_EQ(device.TransferCount(), 6000u);
  EXPECT_EQ(device.Transfers().size(), 6000u);
}

}  // namespace

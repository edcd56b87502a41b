#include <gtest/gtest.h>

#include <string>

#include "tests/usb/SimulatedBus.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using usbtest::SimulatedBus;

constexpr char kNode[] = "/dev/bus/usb/001/002";

class DeviceModel : public SimulatedBus {};

TEST_F(DeviceModel, BuildsTheTreeFromTheDescriptors) {
  auto gadget = Gadget();
  Bus().Plug(kNode, gadget);
  USBDevice device(kNode);
  ASSERT_EQ(device.InitCheck(), 0);
  EXPECT_EQ(device.VendorID(), 0x1234);
  EXPECT_EQ(device.ProductID(), 0x5678);
  EXPECT_STREQ(device.Location(), "/001/002");
  EXPECT_EQ("/dev/bus/usb" + std::string(device.Location()), kNode);
  EXPECT_FALSE(device.IsHub());
  ASSERT_EQ(device.CountConfigurations(), 1u);
  const USBConfiguration* configuration = device.ConfigurationAt(0);
  ASSERT_NE(configuration, nullptr);
  EXPECT_EQ(device.ConfigurationAt(1), nullptr);
  ASSERT_EQ(configuration->CountInterfaces(), 1u);
  const USBInterface* interface = configuration->InterfaceAt(0);
  ASSERT_EQ(interface->CountEndpoints(), 3u);
  const USBEndpoint* in = interface->EndpointAt(0);
  EXPECT_TRUE(in->IsBulk() && in->IsInput());
  EXPECT_TRUE(interface->EndpointAt(1)->IsBulk() && interface->EndpointAt(1)->IsOutput());
  EXPECT_TRUE(interface->EndpointAt(2)->IsInterrupt());
  EXPECT_EQ(interface->EndpointAt(3), nullptr);
  EXPECT_EQ(in->Device(), &device);
  EXPECT_STREQ(device.ManufacturerString(), "Maker");
  EXPECT_STREQ(device.ProductString(), "Gadget");
  EXPECT_STREQ(device.SerialNumberString(), "");  // index 0: no request
}

TEST_F(DeviceModel, RefusesPathsOutsideTheRawTree) {
  CaptureStderr();
  USBDevice device("/dev/bus/us");
  EXPECT_EQ(GetCapturedStderr(), "USBKit: Not a usb raw device '/dev/bus/us'\n");
  EXPECT_EQ(device.InitCheck(), -1);
  EXPECT_EQ(device.Location(), nullptr);
  // Twelve characters are compared: the slash after "usb" is not.
  Bus().Plug("/dev/bus/usbX/1", Gadget());
  USBDevice odd("/dev/bus/usbX/1");
  EXPECT_EQ(odd.InitCheck(), 0);
}

TEST_F(DeviceModel, NodesThatCannotBeOpened) {
  Bus().PlugUnopenable(kNode, Gadget());
  CaptureStderr();
  USBDevice device(kNode);
  EXPECT_EQ(GetCapturedStderr(), "USBKit: Cannot open '/dev/bus/usb/001/002'\n");
  EXPECT_EQ(device.InitCheck(), -1);
  EXPECT_EQ(device.CountConfigurations(), 0u);
}

TEST_F(DeviceModel, DriverVersionIsChecked) {
  auto gadget = Gadget();
  gadget->SetDriverVersion(0x0014);
  Bus().Plug(kNode, gadget);
  CaptureStderr();
  USBDevice device(kNode);
  EXPECT_EQ(GetCapturedStderr(), "USBKit: Driver version 0x0014 != expected version 0x0015\n");
  EXPECT_EQ(device.InitCheck(), -1);
  EXPECT_EQ(device.CountConfigurations(), 0u);

  auto mute = Gadget();
  mute->FailVersionCall();
  Bus().Plug("/dev/bus/usb/001/003", mute);
  CaptureStderr();
  USBDevice silent("/dev/bus/usb/001/003");
  EXPECT_EQ(GetCapturedStderr(), "USBKit: Device won't verify version\n");
  EXPECT_EQ(silent.InitCheck(), -1);
}

TEST_F(DeviceModel, DeviceDescriptorFailureClosesTheNode) {
  auto gadget = Gadget();
  gadget->FailDescriptor({sim::DescriptorKind::kDevice});
  Bus().Plug(kNode, gadget);
  CaptureStderr();
  USBDevice device(kNode);
  EXPECT_EQ(GetCapturedStderr(), "USBKit: Device won't return device descriptor\n");
  EXPECT_EQ(device.InitCheck(), -1);
  EXPECT_EQ(device.CountConfigurations(), 0u);
}

TEST_F(DeviceModel, FailedDescriptorsLeaveGapsButKeepIndices) {
  sim::DescriptorSet set = Set();
  set.configurations.push_back(set.configurations[0]);
  sim::FitCounts(set);
  auto gadget = std::make_shared<sim::SimDevice>(set);
  gadget->FailDescriptor({sim::DescriptorKind::kConfiguration, 0});
  gadget->FailDescriptor({sim::DescriptorKind::kEndpoint, 1, 0, 1});
  Bus().Plug(kNode, gadget);
  USBDevice device(kNode);
  ASSERT_EQ(device.InitCheck(), 0);
  EXPECT_EQ(device.CountConfigurations(), 2u);  // from the descriptor
  const USBConfiguration* first = device.ConfigurationAt(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Index(), 1u);
  EXPECT_EQ(device.ConfigurationAt(1), nullptr);
  const USBInterface* interface = first->InterfaceAt(0);
  EXPECT_EQ(interface->CountEndpoints(), 3u);
  EXPECT_EQ(interface->EndpointAt(1)->Index(), 2u);  // endpoint 1 is missing
  EXPECT_EQ(interface->EndpointAt(2), nullptr);
}

TEST_F(DeviceModel, StringDescriptorsDecodeLowBytesOnly) {
  sim::DescriptorSet set = Set();
  set.device[14] = 3;  // iManufacturer
  set.device[15] = 4;  // iProduct
  set.device[16] = 5;  // iSerialNumber
  set.strings[3] = sim::MakeStringDescriptor(u"Ca\u2122on");
  set.strings[4] = {2, 3};  // no character at all
  set.strings[5] = sim::MakeOverlongString(u"12345", 40);
  Bus().Plug(kNode, std::make_shared<sim::SimDevice>(set));
  USBDevice device(kNode);
  EXPECT_EQ(std::string(device.ManufacturerString()), "Ca\x22on");
  EXPECT_STREQ(device.ProductString(), "");
  EXPECT_STREQ(device.SerialNumberString(), "");  // bLength differs from what came
}

TEST_F(DeviceModel, TransfersNeedAnEndpointOfTheirOwnDevice) {
  auto gadget = Gadget();
  Bus().Plug(kNode, gadget);
  Bus().Plug("/dev/bus/usb/001/003", Gadget());
  USBDevice device(kNode);
  USBDevice other("/dev/bus/usb/001/003");
  ASSERT_EQ(device.SetConfiguration(device.ConfigurationAt(0)), 0);
  ASSERT_EQ(other.SetConfiguration(other.ConfigurationAt(0)), 0);
  gadget->ClearTransfers();
  unsigned char data[8];
  const USBEndpoint* foreign = other.ActiveConfiguration()->InterfaceAt(0)->EndpointAt(0);
  EXPECT_EQ(device.BulkTransfer(foreign, data, sizeof data), -1);
  EXPECT_EQ(device.BulkTransfer(nullptr, data, sizeof data), -1);
  EXPECT_EQ(device.InterruptTransfer(foreign, data, sizeof data), -1);
  EXPECT_TRUE(gadget->Transfers().empty());
}

TEST_F(DeviceModel, SetConfiguration) {
  auto gadget = Gadget();
  Bus().Plug(kNode, gadget);
  USBDevice device(kNode);
  EXPECT_EQ(device.ActiveConfiguration(), nullptr);
  EXPECT_EQ(device.SetConfiguration(nullptr), -1);
  const USBConfiguration* configuration = device.ConfigurationAt(0);
  ASSERT_EQ(device.SetConfiguration(configuration), 0);
  EXPECT_EQ(device.ActiveConfiguration(), configuration);

  gadget->FailSetConfiguration(sim::ConfigurationFault::kStatusNonZero);
  EXPECT_EQ(device.SetConfiguration(configuration), -1);
  EXPECT_EQ(device.ActiveConfiguration(), configuration);  // unchanged
  gadget->FailSetConfiguration(sim::ConfigurationFault::kCallFails);
  EXPECT_EQ(device.SetConfiguration(configuration), -1);

  // A configuration of another device would leave the active one pointing elsewhere.
  Bus().Plug("/dev/bus/usb/001/003", Gadget());
  USBDevice other("/dev/bus/usb/001/003");
  gadget->FailSetConfiguration(sim::ConfigurationFault::kNone);
  EXPECT_EQ(device.SetConfiguration(other.ConfigurationAt(0)), -1);
}

TEST_F(DeviceModel, HubsAreNamedByTheirDirectory) {
  Bus().Plug("/dev/bus/usb/001/hub", std::make_shared<sim::SimDevice>(sim::MakeHubSet()));
  USBDevice hub("/dev/bus/usb/001/hub");
  ASSERT_EQ(hub.InitCheck(), 0);
  EXPECT_TRUE(hub.IsHub());
  EXPECT_STREQ(hub.Location(), "/001");
  // Any name ending in b counts, and a very short one does not underflow.
  Bus().Plug("/dev/bus/usb/b", Gadget());
  USBDevice shorty("/dev/bus/usb/b");
  EXPECT_TRUE(shorty.IsHub());
  EXPECT_STREQ(shorty.Location(), "");
}

TEST_F(DeviceModel, ReleaseReturnsToTheClosedState) {
  Bus().Plug(kNode, Gadget());
  USBDevice device(kNode);
  device.SetConfiguration(device.ConfigurationAt(0));
  device.Release();
  EXPECT_EQ(device.ActiveConfiguration(), nullptr);
  EXPECT_EQ(device.CountConfigurations(), 0u);
  EXPECT_EQ(device.InitCheck(), -1);
  EXPECT_EQ(device.ConfigurationAt(0), nullptr);
  // And can be pointed at a node again.
  EXPECT_EQ(device.SetTo(kNode), 0);
  EXPECT_EQ(device.CountConfigurations(), 1u);
}

TEST_F(DeviceModel, NonsenseDescriptorsNeverCrash) {
  // 255 configurations claimed, one there: the others are skipped silently.
  Bus().Plug(kNode, std::make_shared<sim::SimDevice>(sim::ClaimingConfigurations(Set(), 255)));
  CaptureStderr();
  USBDevice device(kNode);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(device.CountConfigurations(), 255u);
  EXPECT_NE(device.ConfigurationAt(0), nullptr);
  EXPECT_EQ(device.ConfigurationAt(1), nullptr);

  Bus().Plug("/dev/bus/usb/001/003",
             std::make_shared<sim::SimDevice>(sim::MakeEndpointlessSet(0x1234, 1)));
  USBDevice empty("/dev/bus/usb/001/003");
  ASSERT_EQ(empty.InitCheck(), 0);
  EXPECT_EQ(empty.ConfigurationAt(0)->InterfaceAt(0)->CountEndpoints(), 0u);
  EXPECT_EQ(empty.ConfigurationAt(0)->InterfaceAt(0)->EndpointAt(0), nullptr);
}

TEST_F(DeviceModel, TransfersFailAtOnceOnAVanishedDevice) {
  auto gadget = Gadget();
  Bus().Plug(kNode, gadget);
  USBDevice device(kNode);
  ASSERT_EQ(device.SetConfiguration(device.ConfigurationAt(0)), 0);
  Bus().Remove(kNode);
  unsigned char data[4];
  const USBEndpoint* in = device.ActiveConfiguration()->InterfaceAt(0)->EndpointAt(0);
  EXPECT_EQ(in->BulkTransfer(data, sizeof data), -1);
  EXPECT_EQ(device.ControlTransfer(0x80, 0, 0, 0, 2, data), -1);
}

}  // namespace

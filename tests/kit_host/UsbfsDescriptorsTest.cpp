#include "kit/host/UsbfsDescriptors.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/kit_host/DescriptorBlobs.h"

namespace {

using namespace hosttest;
using kit::UsbfsDescriptors;

Bytes Of(std::span<const uint8_t> found) {
  return Bytes(found.begin(), found.end());
}

constexpr size_t kSet = 18;  // where the first configuration set starts

TEST(UsbfsDescriptors, CameraBlob) {
  Bytes blob = CameraBlob();
  UsbfsDescriptors d(blob);
  EXPECT_EQ(Of(d.Device()), Bytes(blob.begin(), blob.begin() + 18));
  EXPECT_EQ(Of(d.Configuration(0)), (Bytes{9, 2, 39, 0, 1, 1, 0, 0xc0, 0}));
  EXPECT_EQ(Of(d.Interface(0, 0)), Interface(0, 0, 3));
  EXPECT_EQ(Of(d.Endpoint(0, 0, 0)), Endpoint(0x81, 2, 64));
  EXPECT_EQ(Of(d.Endpoint(0, 0, 1)), Endpoint(0x02, 2, 64));
  EXPECT_EQ(Of(d.Endpoint(0, 0, 2)), Endpoint(0x83, 3, 16));
  for (auto none : {d.Configuration(1), d.Interface(0, 1), d.Interface(1, 0), d.Endpoint(0, 0, 3),
                    d.Other(0, 0, 0)})
    EXPECT_TRUE(none.empty());
}

TEST(UsbfsDescriptors, SetsAlternateSettingsAndClassDescriptors) {
  Bytes long_endpoint = {9, 5, 0x84, 1, 0, 2, 1, 0x11, 0x22};
  Bytes blob =
      Join({Device(2), Configuration(3, 1, Join({Interface(0, 0, 1), Endpoint(0x81, 2, 64)})),
            Configuration(
                7, 2,
                Join({Class(5, 1), Interface(2, 0, 2), Class(4, 2), Endpoint(0x85, 2, 64),
                      Class(6, 3), Endpoint(0x06, 2, 64), Interface(2, 1, 1), Endpoint(0x87, 3, 8),
                      Class(3, 4), Interface(5, 0, 1), long_endpoint}))});
  UsbfsDescriptors d(blob);
  // The second set starts where the first one's wTotalLength ends, and is not part of it.
  EXPECT_EQ(d.Configuration(1)[5], 7);
  EXPECT_TRUE(d.Endpoint(0, 0, 1).empty());
  // Alternate settings are no interfaces of their own, and end the endpoints before them.
  EXPECT_EQ(Of(d.Interface(1, 0)), Interface(2, 0, 2));
  EXPECT_EQ(Of(d.Interface(1, 1)), Interface(5, 0, 1));
  EXPECT_EQ(Of(d.Endpoint(1, 0, 1)), Endpoint(0x06, 2, 64));
  EXPECT_TRUE(d.Endpoint(1, 0, 2).empty());
  EXPECT_EQ(Of(d.Endpoint(1, 1, 0)), long_endpoint);
  // Class descriptors belong to the interface before them; the configuration's to none.
  EXPECT_EQ(Of(d.Other(1, 0, 0)), Class(4, 2));
  EXPECT_EQ(Of(d.Other(1, 0, 1)), Class(6, 3));
  EXPECT_TRUE(d.Other(1, 0, 2).empty());
  EXPECT_TRUE(d.Other(1, 1, 0).empty());
}

TEST(UsbfsDescriptors, BrokenBlobsRefuseWhatIsBroken) {
  Bytes camera = CameraBlob();
  auto with = [&](size_t at, uint8_t value) {
    Bytes blob = camera;
    blob[at] = value;
    return UsbfsDescriptors(blob);
  };
  auto cut = [&](size_t size) {
    return UsbfsDescriptors(Bytes(camera.begin(), camera.begin() + size));
  };
  for (auto d : {cut(0), cut(17), with(0, 17), with(1, 2)}) EXPECT_TRUE(d.Device().empty());
  // No configurations claimed; a set cut short, with a short bLength, of another type, or
  // whose wTotalLength is shorter than its own descriptor.
  for (auto d : {with(17, 0), cut(kSet + 8), with(kSet, 8), with(kSet + 1, 4), with(kSet + 2, 0),
                 with(kSet + 2, 8)})
    EXPECT_TRUE(d.Configuration(0).empty());
  UsbfsDescriptors many = with(17, 255);
  EXPECT_FALSE(many.Configuration(0).empty());
  for (uint32_t c = 1; c <= 255; c++) EXPECT_TRUE(many.Configuration(c).empty()) << c;
  UsbfsDescriptors short_total = with(kSet + 2, 9 + 9 + 7);  // covers one endpoint
  EXPECT_FALSE(short_total.Endpoint(0, 0, 0).empty());
  EXPECT_TRUE(short_total.Endpoint(0, 0, 1).empty());
  Bytes long_total = camera;
  long_total[kSet + 2] = 255;
  long_total.resize(long_total.size() - 3);  // the last endpoint cut short
  EXPECT_FALSE(UsbfsDescriptors(long_total).Endpoint(0, 0, 1).empty());
  EXPECT_TRUE(UsbfsDescriptors(long_total).Endpoint(0, 0, 2).empty());
  for (uint8_t length : {0, 1, 200}) {  // the second endpoint's bLength
    UsbfsDescriptors broken = with(kSet + 9 + 9 + 7, length);
    EXPECT_FALSE(broken.Endpoint(0, 0, 0).empty());
    EXPECT_TRUE(broken.Endpoint(0, 0, 1).empty()) << int(length);
    EXPECT_TRUE(broken.Endpoint(0, 0, 2).empty()) << int(length);
  }
  EXPECT_TRUE(with(kSet + 9, 5).Interface(0, 0).empty());  // too short for an interface
  UsbfsDescriptors bare(Join({Device(1), Configuration(1, 1, Interface(0, 0, 0))}));
  EXPECT_FALSE(bare.Interface(0, 0).empty());
  EXPECT_TRUE(bare.Endpoint(0, 0, 0).empty());
}

// Cut short or changed at random, a blob never makes a lookup reach outside it, and what is
// found is a descriptor of its kind, exactly bLength long. Moving a vector keeps its buffer,
// so the bounds are known after the move.
TEST(UsbfsDescriptors, NoLookupLeavesTheBlob) {
  auto check = [](Bytes blob) {
    const uint8_t* begin = blob.data();
    const uint8_t* end = begin + blob.size();
    UsbfsDescriptors d(std::move(blob));
    auto sound = [&](std::span<const uint8_t> found, uint8_t type, size_t least) {
      if (found.empty()) return true;
      return found.data() >= begin && found.data() + found.size() <= end && found.size() >= least &&
             (type == 0 || found[1] == type) && (type == 1 || found.size() == found[0]);
    };
    EXPECT_TRUE(sound(d.Device(), 1, 18));
    for (uint32_t c = 0; c < 3; c++) {
      EXPECT_TRUE(sound(d.Configuration(c), 2, 9));
      for (uint32_t i = 0; i < 3; i++) {
        EXPECT_TRUE(sound(d.Interface(c, i), 4, 9));
        for (uint32_t k = 0; k < 4; k++) {
          EXPECT_TRUE(sound(d.Endpoint(c, i, k), 5, 7));
          EXPECT_TRUE(sound(d.Other(c, i, k), 0, 2));
        }
      }
    }
  };
  Bytes blob = Join({TwoConfigurations(), Class(4, 9)});
  for (size_t size = 0; size <= blob.size(); size++)
    check(Bytes(blob.begin(), blob.begin() + size));
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000 && !HasFailure(); round++) {
    Bytes changed = blob;
    uint8_t values[] = {0, 1, 2, 7, 9, 0xff, uint8_t(random())};  // lengths and counts matter
    for (int i = 0; i < 1 + int(random() % 4); i++)
      changed[random() % changed.size()] = values[random() % std::size(values)];
    check(changed);
  }
}

}  // namespace

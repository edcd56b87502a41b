// The faults a simulated device can be told to show: refused requests and transfers that
// fail, come back short or empty, or take the device away.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace sim {

enum class DescriptorKind { kDevice, kConfiguration, kInterface, kEndpoint, kString, kOther, kAny };

// Where a descriptor request points: configuration, interface, endpoint positions for the
// tree kinds; the string index for kString; configuration, interface, other-descriptor
// index for kOther; type and index for kAny.
struct DescriptorPosition {
  DescriptorKind kind = DescriptorKind::kDevice;
  uint32_t first = 0;
  uint32_t second = 0;
  uint32_t third = 0;

  auto operator<=>(const DescriptorPosition&) const = default;
};

enum class ConfigurationFault { kNone, kCallFails, kStatusNonZero };

struct TransferFault {
  // kFailAfter: `bytes` bytes move (at most), and then the transfer fails all the same, as a
  // transfer cut off by an error does: the host is not told how many moved.
  enum Kind { kFail, kShort, kFailAfter, kUnplug } kind = kFail;
  uint32_t bytes = 0;  // kShort, kFailAfter: at most this many bytes move (0 = none)
};

class DeviceFaults {
 public:
  void FailDescriptor(DescriptorPosition position) { descriptors_.insert(position); }
  bool DescriptorFails(DescriptorPosition position) const {
    return descriptors_.count(position) != 0;
  }

  void SetTransferFault(uint64_t number, TransferFault fault) { transfers_[number] = fault; }
  std::optional<TransferFault> TakeTransferFault(uint64_t number);

  bool version_call_fails = false;
  ConfigurationFault configuration = ConfigurationFault::kNone;

 private:
  std::set<DescriptorPosition> descriptors_;
  std::map<uint64_t, TransferFault> transfers_;
};

}  // namespace sim

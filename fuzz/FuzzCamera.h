// A camera whose every answer the fuzz input chooses, one decision a transfer, taken from
// the input as the transfer comes:
//   to the host (control or bulk): 0 fails it, 1 delivers nothing, 2 zeros for all that
//     was asked, 3 all that was asked from the input, n > 3 at most n - 3 bytes of it;
//   control from the host: 0 fails it, any other byte takes it whole;
//   bulk from the host: 0 fails it, 1 takes nothing, 2 or 3 all, n > 3 at most n - 3 bytes.
// Once the input is used up every transfer fails. Input pipe 0x81, output pipe 0x02.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "sim/SimDevice.h"

class USBDevice;

namespace fuzzsupport {

class FuzzCamera : public sim::SimDevice {
 public:
  FuzzCamera(FuzzInput& input, uint16_t product);

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup& setup, uint8_t* data,
                              uint32_t* length) override;
  kit::RawReply HandlePipe(sim::TransferKind kind, uint8_t endpoint, uint8_t* data,
                           uint32_t* length) override;

 private:
  kit::RawReply Deliver(uint8_t* data, uint32_t* length);
  kit::RawReply Take(uint32_t* length);

  FuzzInput& input_;
};

// Plugs a fuzz camera in at `node` of the simulated platform (installed on the first call)
// and opens it with its first configuration set.
std::unique_ptr<USBDevice> PlugFuzzCamera(FuzzInput& input, const char* node, uint16_t product);

// The decisions that make a fuzz camera answer as the device of these records did: the seed
// of a conversation the program really had. None when a transfer cannot be told.
std::optional<std::vector<uint8_t>> EncodeAnswers(const std::vector<sim::TransferRecord>& records);

}  // namespace fuzzsupport

// The host's side of the camera protocol, written out by hand from the wire description
// for the simulated camera's tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"

namespace simtest {

// 80-byte command block plus payload, as the protocol builds it.
std::vector<uint8_t> CommandBlock(uint32_t length_word, uint8_t code, uint8_t command_class,
                                  uint32_t request_word, uint32_t tag,
                                  const std::vector<uint8_t>& payload);
std::vector<uint8_t> ListingCommand(const std::string& path);
std::vector<uint8_t> PictureCommand(const std::string& path, uint32_t what);
std::vector<uint8_t> FlashNameCommand();

class CameraHost {
 public:
  explicit CameraHost(uint16_t product = sim::kDefaultCameraProduct);

  sim::SimCamera& Camera() { return *camera_; }
  kit::RawUsbNode& Node() { return *node_; }

  // The four handshake transfers; `echo_offset` picks which 16 bytes of the second answer
  // the third sends back (72 is right).
  bool Handshake(uint32_t echo_offset = 72);
  bool Send(const std::vector<uint8_t>& command);
  // One bulk read of up to `length` bytes; false when it fails.
  bool Read(uint32_t length, std::vector<uint8_t>* bytes);
  // The reply header, then the data in reads of at most `piece` bytes.
  bool ReadDataReply(std::vector<uint8_t>* data, uint32_t piece = 4096);

 private:
  sim::SimPlatform platform_;
  std::shared_ptr<sim::SimCamera> camera_;
  std::unique_ptr<kit::RawUsbNode> node_;
};

}  // namespace simtest

#include "tests/sim/CameraHost.h"

#include <algorithm>

namespace simtest {

namespace {

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

}  // namespace

std::vector<uint8_t> CommandBlock(uint32_t length_word, uint8_t code, uint8_t command_class,
                                  uint32_t request_word, uint32_t tag,
                                  const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> block(80 + payload.size());
  Put32(block, 0, length_word);
  Put32(block, 4, request_word);
  block[64] = 0x02;
  block[68] = code;
  block[71] = command_class;
  Put32(block, 72, length_word);
  Put32(block, 76, tag);
  std::copy(payload.begin(), payload.end(), block.begin() + 80);
  return block;
}

std::vector<uint8_t> ListingCommand(const std::string& path) {
  std::vector<uint8_t> payload = {0x02};
  std::vector<uint8_t> text = Text(path);
  payload.insert(payload.end(), text.begin(), text.end());
  payload.push_back(0);
  payload.push_back(0);
  return CommandBlock(uint32_t(path.size() + 20), 11, 0x11, 0x202, 0x11336677, payload);
}

std::vector<uint8_t> PictureCommand(const std::string& path, uint32_t what) {
  std::vector<uint8_t> payload(8);
  Put32(payload, 0, what);
  Put32(payload, 4, 0x1400);
  std::vector<uint8_t> text = Text(path);
  payload.insert(payload.end(), text.begin(), text.end());
  return CommandBlock(uint32_t(path.size() + 25), 1, 0x11, 0x202, 0x12345678, payload);
}

std::vector<uint8_t> FlashNameCommand() {
  return CommandBlock(16, 10, 0x11, 0x202, 0x12345678, {});
}

CameraHost::CameraHost(uint16_t product) : camera_(std::make_shared<sim::SimCamera>(product)) {
  platform_.Bus().Plug("/dev/bus/usb/001/002", camera_);
  node_ = platform_.Usb().Open("/dev/bus/usb/001/002");
  node_->SetConfiguration(0);
}

bool CameraHost::Handshake(uint32_t echo_offset) {
  uint8_t buffer[88] = {};
  uint16_t length = 1;
  if (!node_->ControlTransfer(0xC0, 0x0C, 0x55, 0, &length, buffer).Ok()) return false;
  length = 88;
  if (!node_->ControlTransfer(0xC0, 0x04, 0x01, 0, &length, buffer).Ok()) return false;
  length = 16;
  if (!node_->ControlTransfer(0x40, 0x04, 0x11, 0, &length, buffer + echo_offset).Ok())
    return false;
  std::vector<uint8_t> answer;
  return Read(68, &answer) && answer.size() == 68;
}

bool CameraHost::Send(const std::vector<uint8_t>& command) {
  std::vector<uint8_t> copy = command;
  uint16_t length = uint16_t(copy.size());
  return node_->ControlTransfer(0x40, copy.size() <= 1 ? 0x0C : 0x04, 0x10, 0, &length, copy.data())
      .Ok();
}

bool CameraHost::Read(uint32_t length, std::vector<uint8_t>* bytes) {
  bytes->assign(length, 0);
  if (!node_->BulkTransfer(0, 0, bytes->data(), &length).Ok()) return false;
  bytes->resize(length);
  return true;
}

bool CameraHost::ReadDataReply(std::vector<uint8_t>* data, uint32_t piece) {
  std::vector<uint8_t> header;
  if (!Read(64, &header) || header.size() != 64) return false;
  uint32_t size = header[6] | header[7] << 8 | header[8] << 16 | uint32_t(header[9]) << 24;
  data->clear();
  while (data->size() < size) {
    std::vector<uint8_t> part;
    if (!Read(std::min<uint32_t>(piece, size - uint32_t(data->size())), &part) || part.empty())
      return false;
    data->insert(data->end(), part.begin(), part.end());
  }
  return true;
}

}  // namespace simtest

#include "tests/realstack/client/CameraProtocol.h"

#include <algorithm>

namespace client {

namespace {

constexpr uint32_t kFixedReply = 0x201;
constexpr uint32_t kDataReply = 0x202;
constexpr uint8_t kStorageClass = 0x11;
constexpr uint8_t kCameraClass = 0x12;
constexpr uint32_t kHeaderSize = 64;
constexpr uint32_t kBlockSize = 80;
constexpr uint32_t kLengthWordBase = 16;

uint32_t Le32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

void AppendText(std::vector<uint8_t>& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
}

// A camera path as picture commands carry it: split at its last backslash, a NUL after
// each part, and one more.
std::vector<uint8_t> SplitPath(std::vector<uint8_t> payload, const std::string& path) {
  size_t split = path.rfind('\\');
  AppendText(payload, path.substr(0, split));
  AppendText(payload, path.substr(split + 1));
  payload.push_back(0);
  return payload;
}

// The request number follows from the transfer length.
uint8_t RequestFor(size_t length) {
  return length <= 1 ? 0x0C : 0x04;
}

}  // namespace

std::vector<Entry> ParseListing(const std::vector<uint8_t>& data) {
  std::vector<Entry> entries;
  for (size_t at = 0; at + 11 <= data.size();) {
    auto end = std::find(data.begin() + long(at) + 10, data.end(), 0);
    if (end == data.end()) break;
    Entry entry{data[at], Le32(&data[at + 2]), Le32(&data[at + 6]),
                std::string(data.begin() + long(at) + 10, end)};
    if (entry.attributes == 0 && entry.size == 0 && entry.date == 0 && entry.name.empty()) break;
    at += 11 + entry.name.size();
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<Entry>> LevelEntries(const std::vector<uint8_t>& data,
                                               const std::string& folder) {
  std::vector<Entry> entries = ParseListing(data);
  if (entries.empty() || entries[0].name != folder || entries[0].attributes != 0x10 ||
      entries[0].size != 0)
    return std::nullopt;
  entries.erase(entries.begin());
  return entries;
}

std::vector<Picture> PicturesOf(const std::vector<Entry>& tree) {
  std::vector<Picture> pictures;
  std::string folder;
  for (const Entry& entry : tree) {
    if (entry.name.size() >= 2 && entry.name[1] == ':')
      folder = entry.name;
    else if (entry.size == 0 && entry.name.starts_with(".\\"))
      folder += entry.name.substr(1);
    else if (entry.size == 0 && entry.name.starts_with(".."))
      folder = folder.substr(0, folder.rfind('\\'));
    else
      pictures.push_back({folder + "\\" + entry.name, entry});
  }
  return pictures;
}

std::optional<CameraProtocol::Greeting> CameraProtocol::Handshake() {
  Greeting greeting;
  uint8_t challenge[88] = {};
  if (link_.ControlIn(RequestFor(1), 0x55, &greeting.status_letter, 1) != 1 ||
      link_.ControlIn(RequestFor(88), 0x01, challenge, 88) != 88)
    return std::nullopt;
  greeting.largest_transfer = Le32(challenge + 0x4C);
  // The echo as a block: its size, zeros, then the challenge's last 16 bytes.
  std::vector<uint8_t> echo(kBlockSize);
  PutLe32(echo, 0, 16);
  std::copy(challenge + 72, challenge + 88, echo.begin() + 64);
  if (link_.ControlOut(RequestFor(echo.size()), 0x11, echo) != int(echo.size()) || !Read(68))
    return std::nullopt;
  if (greeting.largest_transfer != 0) largest_transfer_ = greeting.largest_transfer;
  return greeting;
}

std::optional<CameraProtocol::Greeting> CameraProtocol::Resume() {
  Greeting greeting;
  uint8_t state[0x50] = {};
  if (link_.ControlIn(RequestFor(1), 0x55, &greeting.status_letter, 1) != 1 ||
      greeting.status_letter != 'A' ||
      link_.ControlIn(RequestFor(sizeof state), 0x04, state, sizeof state) != int(sizeof state))
    return std::nullopt;
  greeting.largest_transfer = Le32(state + 0x4C);
  if (greeting.largest_transfer != 0) largest_transfer_ = greeting.largest_transfer;
  return greeting;
}

bool CameraProtocol::StartCommands() {
  std::optional<std::vector<uint8_t>> abilities = Fixed(0x1F, kCameraClass, {}, 0x384);
  std::optional<std::vector<uint8_t>> keys = Fixed(0x20, kCameraClass, {}, 0x54);
  return abilities && keys && (*abilities)[68] == 0x1F && (*keys)[68] == 0x20;
}

bool CameraProtocol::Send(uint8_t code, uint8_t command_class, uint32_t request_word,
                          const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> block(kBlockSize + payload.size());
  std::copy(payload.begin(), payload.end(), block.begin() + kBlockSize);
  uint32_t length_word = uint32_t(payload.size()) + kLengthWordBase;
  PutLe32(block, 0, length_word);
  PutLe32(block, 4, request_word);
  block[64] = 0x02;
  block[68] = code;
  block[71] = command_class;
  PutLe32(block, 72, length_word);
  PutLe32(block, 76, serial_++);
  return link_.ControlOut(RequestFor(block.size()), 0x10, block) == int(block.size());
}

std::optional<std::vector<uint8_t>> CameraProtocol::Read(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint32_t got = 0; got < size;) {
    int moved = link_.BulkIn(bytes.data() + got, int(std::min(size - got, largest_transfer_)));
    if (moved <= 0) return std::nullopt;
    got += uint32_t(moved);
  }
  return bytes;
}

std::optional<std::vector<uint8_t>> CameraProtocol::Fixed(uint8_t code, uint8_t command_class,
                                                          const std::vector<uint8_t>& payload,
                                                          uint32_t size) {
  if (!Send(code, command_class, kFixedReply, payload)) return std::nullopt;
  return Read(size);
}

std::optional<std::vector<uint8_t>> CameraProtocol::Data(uint8_t code,
                                                         const std::vector<uint8_t>& payload) {
  if (!Send(code, kStorageClass, kDataReply, payload)) return std::nullopt;
  std::optional<std::vector<uint8_t>> header = Read(kHeaderSize);
  if (!header) return std::nullopt;
  return Read(Le32(header->data() + 6));
}

std::optional<std::vector<uint8_t>> CameraProtocol::Identify() {
  return Fixed(0x01, kCameraClass, {}, 156);
}

std::optional<std::vector<uint8_t>> CameraProtocol::DiskInformation(const std::string& drive) {
  std::vector<uint8_t> payload;
  AppendText(payload, drive + "\\");
  return Fixed(0x09, kStorageClass, payload, 92);
}

std::optional<std::vector<uint8_t>> CameraProtocol::PowerInformation() {
  return Fixed(0x0A, kCameraClass, {}, 88);
}

std::optional<std::vector<uint8_t>> CameraProtocol::SetAttributes(const std::string& path,
                                                                  uint8_t attributes) {
  return Fixed(0x0E, kStorageClass, SplitPath({attributes, 0, 0, 0}, path), 84);
}

std::optional<std::vector<uint8_t>> CameraProtocol::Delete(const std::string& path) {
  return Fixed(0x0D, kStorageClass, SplitPath({}, path), 84);
}

std::optional<std::vector<uint8_t>> CameraProtocol::FlashDeviceName() {
  return Data(0x0A, {});
}

std::optional<std::vector<uint8_t>> CameraProtocol::Listing(const std::string& path,
                                                            bool whole_tree) {
  std::vector<uint8_t> payload = {uint8_t(whole_tree ? 0x02 : 0x00)};
  AppendText(payload, path);
  payload.insert(payload.end(), {0, 0});
  return Data(0x0B, payload);
}

std::optional<std::vector<uint8_t>> CameraProtocol::PictureData(const std::string& path,
                                                                bool thumbnail) {
  std::vector<uint8_t> payload(8);
  PutLe32(payload, 0, thumbnail ? 1 : 0);
  PutLe32(payload, 4, largest_transfer_);
  AppendText(payload, path);
  return Data(0x01, payload);
}

}  // namespace client

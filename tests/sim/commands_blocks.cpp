#include "tests/sim/commands_blocks.h"

#include "kit/Bytes.h"

namespace simtest {

namespace {

void Put16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  kit::PutLittle16(bytes.data() + at, uint16_t(value));
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  kit::PutLittle32(bytes.data() + at, value);
}

void Append(std::vector<uint8_t>& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
}

// The path with its last backslash turned into a NUL, and a NUL after it.
void AppendSplitPath(std::vector<uint8_t>& bytes, const std::string& path) {
  size_t split = bytes.size() + path.rfind('\\');
  Append(bytes, path);
  bytes[split] = 0;
}

}  // namespace

std::vector<uint8_t> SetAttributesCommand(const std::string& path, uint8_t attributes) {
  std::vector<uint8_t> payload = {attributes, 0, 0, 0};
  AppendSplitPath(payload, path);
  return CommandBlock(uint32_t(path.size() + 21), 0x0E, 0x11, 0x201, kTag, payload);
}

std::vector<uint8_t> DeleteCommand(const std::string& path) {
  std::vector<uint8_t> payload;
  AppendSplitPath(payload, path);
  return CommandBlock(uint32_t(path.size() + 17), 0x0D, 0x11, 0x201, kTag, payload);
}

std::vector<uint8_t> IdentifyCommand() {
  return CommandBlock(16, 0x01, 0x12, 0x201, kTag, {});
}

std::vector<uint8_t> SetOwnerCommand(const std::string& latin1) {
  std::vector<uint8_t> payload;
  Append(payload, latin1);
  return CommandBlock(uint32_t(latin1.size() + 17), 0x05, 0x12, 0x201, kTag, payload);
}

std::vector<uint8_t> DiskInfoCommand(const std::string& drive) {
  std::vector<uint8_t> payload;
  Append(payload, drive + "\\");
  return CommandBlock(uint32_t(drive.size() + 18), 0x09, 0x11, 0x201, kTag, payload);
}

std::vector<uint8_t> PowerCommand() {
  return CommandBlock(16, 0x0A, 0x12, 0x201, kTag, {});
}

std::vector<uint8_t> Announcement(uint32_t block_size) {
  std::vector<uint8_t> bytes(64);
  bytes[4] = 0x03;
  bytes[5] = 0x02;
  Put16(bytes, 6, block_size);
  return bytes;
}

std::vector<uint8_t> UploadBlock(const std::string& path, uint32_t offset,
                                 const std::vector<uint8_t>& chunk) {
  uint32_t length = uint32_t(path.size() + chunk.size() + 29);
  std::vector<uint8_t> block(92);
  Put16(block, 0, length);
  block[4] = 0x03;
  block[5] = 0x04;
  block[64] = 0x02;
  block[68] = 0x03;
  block[71] = 0x11;
  Put16(block, 72, length);
  Put32(block, 76, kTag);
  block[80] = 0x02;
  Put32(block, 84, offset);
  Put16(block, 88, uint32_t(chunk.size()));
  Append(block, path);
  block.insert(block.end(), chunk.begin(), chunk.end());
  return block;
}

bool SendBulk(CameraHost& host, const std::vector<uint8_t>& block) {
  std::vector<uint8_t> copy = block;
  uint32_t length = uint32_t(copy.size());
  return host.Node().BulkTransfer(0, 1, copy.data(), &length).Ok() && length == copy.size();
}

bool UploadChunk(CameraHost& host, const std::string& path, uint32_t offset,
                 const std::vector<uint8_t>& chunk) {
  std::vector<uint8_t> block = UploadBlock(path, offset, chunk);
  std::vector<uint8_t> answer;
  return host.Send(Announcement(uint32_t(block.size()))) && host.Read(64, &answer) &&
         answer.size() == 64 && SendBulk(host, block) && host.Read(92, &answer) &&
         answer.size() == 92;
}

bool Noted(const sim::SimCamera& camera, const std::string& part) {
  for (const std::string& problem : camera.Problems())
    if (problem.find(part) != std::string::npos) return true;
  return false;
}

uint32_t Little32(const std::vector<uint8_t>& bytes, size_t at) {
  return kit::ReadLittle32(bytes.data() + at);
}

bool Exchange(CameraHost& host, const std::vector<uint8_t>& command, uint32_t size,
              std::vector<uint8_t>* reply) {
  return host.Send(command) && host.Read(size, reply) && reply->size() == size;
}

bool Silent(CameraHost& host, const std::string& reason) {
  std::vector<uint8_t> reply;
  return !host.Read(64, &reply) && Noted(host.Camera(), reason);
}

}  // namespace simtest

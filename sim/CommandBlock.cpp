#include "sim/CommandBlock.h"

#include <algorithm>

#include "sim/Bytes.h"

namespace sim {

namespace {

bool ZeroBetween(const uint8_t* bytes, size_t from, size_t to) {
  return std::all_of(bytes + from, bytes + to, [](uint8_t b) { return b == 0; });
}

}  // namespace

std::optional<CommandBlock> ParseCommandBlock(const uint8_t* bytes, uint32_t length,
                                              std::string* problem) {
  if (length < kCommandBlockSize) {
    *problem = "command of " + std::to_string(length) + " bytes, shorter than its block";
    return std::nullopt;
  }
  CommandBlock block;
  block.length_word = ReadLittle32(bytes);
  block.request_word = ReadLittle32(bytes + 4);
  block.code = bytes[68];
  block.command_class = bytes[71];
  block.tag = ReadLittle32(bytes + 76);
  if (ReadLittle32(bytes + 72) != block.length_word) {
    *problem = "length words at 0 and 72 differ";
  } else if (uint64_t(block.length_word) + 64 != length) {
    *problem = "length word " + std::to_string(block.length_word) + " does not fit a transfer of " +
               std::to_string(length) + " bytes";
  } else if (bytes[64] != 0x02) {
    *problem = "byte 64 is not 0x02";
  } else if (block.request_word != kFixedSizeReply && block.request_word != kDataReply) {
    *problem = "unknown request word " + std::to_string(block.request_word);
  } else if (!ZeroBetween(bytes, 8, 64) || !ZeroBetween(bytes, 65, 68) ||
             !ZeroBetween(bytes, 69, 71)) {
    *problem = "reserved bytes of the block are not 0";
  } else {
    block.payload.assign(bytes + kCommandBlockSize, bytes + length);
    return block;
  }
  return std::nullopt;
}

std::vector<uint8_t> DataReplyHeader(uint32_t data_size) {
  std::vector<uint8_t> header(kReplyHeaderSize);
  // Only bytes 6 to 9 carry meaning; the total in 0 to 3 makes a reader that takes the
  // wrong word ask for more than there is.
  PutLittle32(&header[0], data_size + kReplyHeaderSize);
  header[4] = 0x03;
  header[5] = 0x02;
  PutLittle32(&header[6], data_size);
  return header;
}

std::vector<uint8_t> MakeDataReply(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> reply = DataReplyHeader(uint32_t(data.size()));
  reply.insert(reply.end(), data.begin(), data.end());
  return reply;
}

std::vector<uint8_t> MakeFixedReply(size_t size, uint8_t code, uint8_t command_class,
                                    uint32_t status) {
  std::vector<uint8_t> reply(size);
  uint32_t length_word = uint32_t(size - kReplyHeaderSize);
  PutLittle32(&reply[0], length_word);
  PutLittle32(&reply[4], kFixedSizeReply);
  reply[64] = 0x02;
  reply[68] = code;
  reply[71] = command_class;
  PutLittle32(&reply[72], length_word);
  PutLittle32(&reply[76], kCommandTag);
  PutLittle32(&reply[80], status);
  return reply;
}

std::optional<std::string> PayloadText(const CommandBlock& block, size_t offset) {
  if (offset > block.payload.size()) return std::nullopt;
  auto begin = block.payload.begin() + offset;
  auto end = std::find(begin, block.payload.end(), 0);
  if (end == block.payload.end()) return std::nullopt;
  return std::string(begin, end);
}

bool CheckNoPayload(const CommandBlock& block, const std::string& command, std::string* problem) {
  if (block.payload.empty()) return true;
  *problem =
      command + " command with a payload (length word " + std::to_string(block.length_word) + ")";
  return false;
}

std::optional<std::string> PayloadPath(const CommandBlock& block, size_t offset, bool* padded) {
  std::optional<std::string> folder = PayloadText(block, offset);
  if (!folder || folder->empty()) return std::nullopt;
  std::optional<std::string> name = PayloadText(block, offset + folder->size() + 1);
  if (!name || name->empty()) return std::nullopt;
  size_t end = offset + folder->size() + name->size() + 2;
  *padded = end + 1 == block.payload.size() && block.payload.back() == 0;
  if (end != block.payload.size() && !*padded) return std::nullopt;
  return *folder + "\\" + *name;
}

}  // namespace sim

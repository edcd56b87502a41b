// The 80-byte block in front of every camera command, read from the camera's side, and
// the two kinds of reply the camera sends on its input pipe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

constexpr uint32_t kFixedSizeReply = 0x201;
constexpr uint32_t kDataReply = 0x202;
constexpr uint32_t kCommandTag = 0x12345678;
constexpr uint32_t kListingTag = 0x11336677;
constexpr size_t kCommandBlockSize = 80;
constexpr size_t kReplyHeaderSize = 64;

struct CommandBlock {
  uint32_t length_word = 0;
  uint32_t request_word = 0;
  uint8_t code = 0;
  uint8_t command_class = 0;
  uint32_t tag = 0;
  std::vector<uint8_t> payload;  // the bytes from 80 on
};

// The block of a control transfer of `length` bytes, or none with the reason in `problem`:
// too short, the two length words differ or disagree with the transfer length (64 + the
// length word), 0x02 missing at 64, an unknown request word, or a byte that must be 0 is not.
std::optional<CommandBlock> ParseCommandBlock(const uint8_t* bytes, uint32_t length,
                                              std::string* problem);

// A 64-byte header with the data length in bytes 6 to 9, then the data.
std::vector<uint8_t> MakeDataReply(const std::vector<uint8_t>& data);
std::vector<uint8_t> DataReplyHeader(uint32_t data_size);

// A fixed-size reply of `size` bytes: the first 80 echo a block of the command with the
// reply's own length, the status word follows at 80, the rest is 0 for the caller to fill.
std::vector<uint8_t> MakeFixedReply(size_t size, uint8_t code, uint8_t command_class,
                                    uint32_t status);

// The NUL-terminated text at `offset` of the payload; none when no NUL ends it there.
std::optional<std::string> PayloadText(const CommandBlock& block, size_t offset);

// Whether the block carries no payload (length word 16); else the reason in `problem`.
bool CheckNoPayload(const CommandBlock& block, const std::string& command, std::string* problem);

// A camera path sent split at its last backslash: the folder path, a NUL, the file name,
// a NUL, ending the payload. The path joined again; none when the payload from `offset`
// is not two such non-empty texts. Cameras also take one more NUL at the end, which pictrove
// does not send: `padded` tells whether it came.
std::optional<std::string> PayloadPath(const CommandBlock& block, size_t offset, bool* padded);

}  // namespace sim

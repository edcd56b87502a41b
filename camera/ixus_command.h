// The command block every camera command starts with, and the transfer rules all commands
// share: commands go out on the control pipe, replies come back on the input pipe.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>

class USBDevice;
class USBEndpoint;

constexpr unsigned long kFixedReply = 0x201;
constexpr unsigned long kDataReply = 0x202;
constexpr unsigned long kCommandTag = 0x12345678;
constexpr unsigned long kListingTag = 0x11336677;
constexpr size_t kCommandBlockSize = 80;
constexpr size_t kReplyHeaderSize = 64;

void fillcmdblk(unsigned char* buffer, unsigned long length, unsigned char code, unsigned char cls,
                unsigned long request, unsigned long tag);
// The block of a command with a fixed-size reply and `payload` bytes after it, the buffer's
// first 96 bytes cleared first, so that a short payload ends in zero bytes.
void ixus_fixedcmd(unsigned char* buffer, unsigned char code, unsigned char cls, size_t payload);

// The request number of a control transfer of this length: 0x0C for 0 or 1 bytes, else 0x04.
uint8_t ixus_request(uint32_t length);

// Sends the command block (and payload) at the start of `buffer`: the length word it holds
// plus 64 bytes. The bytes moved, or -1; a command the camera did not take whole is -1, and
// the input pipe is then read until the camera has nothing to send, in case it answered.
ssize_t ixus_sendcmd(USBDevice* device, unsigned char* buffer);

// The endpoint at `position` of interface 0 of the active configuration, or none.
const USBEndpoint* ixus_pipe(const USBDevice* device, uint32_t position);

// Endpoint 0 of interface 0 of the active configuration, or none.
const USBEndpoint* ixus_inpipe(const USBDevice* device);

// Reads exactly `length` bytes, taking short reads as what they delivered; a pipe that
// delivers nothing again and again is given up. The bytes read, or -1. `received`, when
// given, tells how many bytes arrived, also when the read fails part way.
ssize_t ixus_readfull(const USBEndpoint* pipe, unsigned char* data, uint32_t length,
                      uint32_t* received = nullptr);

// One read of at most `length` bytes: the bytes it brought, or -1 when it failed or when the
// pipe has brought nothing once too often; `empty` counts the empty reads in a row, kept by
// the caller across the reads of one reply.
ssize_t ixus_readsome(const USBEndpoint* pipe, unsigned char* data, uint32_t length, int& empty);

// What a reply still owes when it is abandoned: a count of bytes, or not known (a transfer
// failed, and may have taken bytes with it; a header that cannot be believed).
constexpr int64_t kRestUnknown = -1;

// Brings the input pipe back in step after a failed, short or abandoned reply, so that the
// next command reads its own reply: reads off the `rest` bytes still owed and, when that
// is not known or does not work, reads until the camera has nothing left to send.
void ixus_resync(const USBEndpoint* pipe, unsigned char* buffer, int64_t rest);

// Reads the 64-byte header of a data reply and returns the data length it gives, which must
// lie between `least` and `most`. -1 when the header cannot be read or gives another
// length; the pipe is then back in step.
int64_t ixus_dataheader(const USBEndpoint* pipe, unsigned char* buffer, uint32_t least,
                        uint32_t most);

// How a command with a fixed-size reply went.
enum class CommandOutcome { kAnswered, kNotSent, kNoAnswer };

// Sends the command at the start of `buffer` and reads its reply of `size` bytes into the
// buffer. The reply must be whole and answer the command (its code at byte 68); otherwise
// the pipe is brought back in step before this returns.
CommandOutcome ixus_command(USBDevice* device, unsigned char* buffer, uint32_t size);

// Reads a reply of `size` bytes to the command `code` into the buffer: true when it arrived
// whole and names the command; otherwise the pipe is back in step.
bool ixus_fixedreply(const USBEndpoint* pipe, unsigned char* buffer, uint32_t size,
                     unsigned char code);

// What the picture command asks the camera to send: the file itself, or its thumbnail reply.
enum class PictureReply : uint32_t { kFile = 0, kThumbnail = 1 };

// Writes the picture command for the picture at the camera path `path` at the start of
// `buffer` (the camera buffer): the block, what it asks for, the piece word, the path with its
// terminator. False, and nothing written, when the command would not fit the camera buffer.
bool ixus_picturecmd(unsigned char* buffer, const char* path, PictureReply reply);

// Little-endian numbers in replies and listings.
uint32_t ixus_le32(const unsigned char* bytes);
void ixus_putle32(unsigned char* bytes, uint32_t value);

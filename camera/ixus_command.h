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

// The request number of a control transfer of this length: 0x0C for 0 or 1 bytes, else 0x04.
uint8_t ixus_request(uint32_t length);

// Sends the command block (and payload) at the start of `buffer`: the length word it holds
// plus 64 bytes. The bytes moved, or -1.
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

// Reads and drops `length` bytes through `buffer` (kCameraBufferSize bytes). 0, or -1.
ssize_t ixus_drain(const USBEndpoint* pipe, unsigned char* buffer, uint32_t length);

// Little-endian numbers in replies and listings.
uint32_t ixus_le32(const unsigned char* bytes);
void ixus_putle32(unsigned char* bytes, uint32_t value);

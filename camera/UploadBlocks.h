// The two blocks every chunk of an upload costs: the announcement on the control pipe and
// the data block, a command block with the chunk in it, on the bulk output pipe.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kUploadChunkSize = 768;
constexpr unsigned char kUploadCode = 0x03;
constexpr uint32_t kAnnouncementSize = 64;
constexpr uint32_t kAnnouncementAnswerSize = 64;
constexpr uint32_t kDataBlockAnswerSize = 92;
// The camera stores every upload under this one name.
constexpr char kUploadPath[] = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

// The data block's length word for a chunk of `n` bytes: path, chunk and 29 bytes of fields.
uint16_t UploadBlockLength(size_t n);

// Clears the first 64 bytes of `buffer` and builds the announcement of a data block whose
// length word is `length`.
void BuildAnnouncement(unsigned char* buffer, uint16_t length);

// Clears the first 128 bytes of `buffer` and builds the data block of the `n` bytes at
// `chunk`, which start at `offset` in the file. The size of the block to send.
uint32_t BuildDataBlock(unsigned char* buffer, uint32_t offset, const unsigned char* chunk,
                        size_t n);

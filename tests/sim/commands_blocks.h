// Blocks of the camera's remaining commands and of the upload, written out by hand from
// the wire description, and what their tests share.
#pragma once

#include <string>
#include <vector>

#include "tests/sim/CameraHost.h"

namespace simtest {

constexpr uint32_t kTag = 0x12345678;

std::vector<uint8_t> SetAttributesCommand(const std::string& path, uint8_t attributes);
std::vector<uint8_t> DeleteCommand(const std::string& path);
std::vector<uint8_t> IdentifyCommand();
std::vector<uint8_t> SetOwnerCommand(const std::string& latin1);
std::vector<uint8_t> DiskInfoCommand(const std::string& drive);
std::vector<uint8_t> PowerCommand();

// The 64-byte announcement of a data block of `block_size` bytes.
std::vector<uint8_t> Announcement(uint32_t block_size);
// The data block carrying `chunk` at `offset` of the file at `path`.
std::vector<uint8_t> UploadBlock(const std::string& path, uint32_t offset,
                                 const std::vector<uint8_t>& chunk);
// One write on the bulk output pipe; false when it fails.
bool SendBulk(CameraHost& host, const std::vector<uint8_t>& block);
// Announcement, its answer, the data block, its answer; false at the first step that fails.
bool UploadChunk(CameraHost& host, const std::string& path, uint32_t offset,
                 const std::vector<uint8_t>& chunk);

bool Noted(const sim::SimCamera& camera, const std::string& part);
uint32_t Little32(const std::vector<uint8_t>& bytes, size_t at);
// Sends the command and reads one fixed-size reply of `size` bytes; false when either
// fails or the reply is not `size` bytes.
bool Exchange(CameraHost& host, const std::vector<uint8_t>& command, uint32_t size,
              std::vector<uint8_t>* reply);
// Whether the camera answered nothing and noted a problem containing `reason`.
bool Silent(CameraHost& host, const std::string& reason);

}  // namespace simtest

// Typed file attributes as user extended attributes: "user.<name>" holds the four
// characters of the type code followed by the value bytes; the MIME type is a plain
// "user.mime_type".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kit {

constexpr uint32_t kInt32Type = 0x4c4f4e47;   // 'LONG'
constexpr uint32_t kStringType = 0x43535452;  // 'CSTR'
constexpr uint32_t kTimeType = 0x54494d45;    // 'TIME'

bool WriteAttr(int fd, const std::string& name, uint32_t type, const void* data, size_t length);
bool SetMimeType(int fd, const std::string& mime_type);

}  // namespace kit

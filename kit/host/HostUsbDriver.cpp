#include "kit/host/HostUsbDriver.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "kit/host/HostUsbNode.h"
#include "kit/host/LibusbHandle.h"

namespace kit {

namespace {

// A device has at most 8 configurations of at most 65535 bytes each after its 18-byte
// descriptor; reading stops there whatever the node claims.
constexpr size_t kBlobLimit = 18 + 8 * 65535;
constexpr size_t kChunk = 4096;

}  // namespace

std::vector<uint8_t> ReadDescriptorBlob(int fd) {
  std::vector<uint8_t> blob;
  while (blob.size() < kBlobLimit) {
    size_t had = blob.size();
    // The node skips the bytes of a configuration that the device delivered short; zeroed
    // bytes there end the descriptor walk.
    blob.resize(had + std::min(kChunk, kBlobLimit - had));
    ssize_t got = pread(fd, blob.data() + had, blob.size() - had, off_t(had));
    if (got < 0 && errno == EINTR) {
      blob.resize(had);
      continue;
    }
    if (got <= 0) {
      blob.resize(had);
      break;
    }
    blob.resize(had + size_t(got));
  }
  return blob;
}

std::unique_ptr<RawUsbNode> HostUsbDriver::Open(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::unique_ptr<LibusbHandle> handle = LibusbHandle::Wrap(fd);
  if (!handle) return nullptr;
  UsbfsDescriptors descriptors(ReadDescriptorBlob(fd));
  return std::make_unique<HostUsbNode>(std::move(handle), std::move(descriptors));
}

}  // namespace kit

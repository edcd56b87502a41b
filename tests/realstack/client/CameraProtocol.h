// The camera's command protocol from a client's side, in the forms other clients use: a
// running serial number as the tag word, the handshake echo as an 80-byte block, a read of
// 0x50 bytes in its place when the camera is already active, listings of one level, a NUL
// after the name of a picture to change or delete, and the two start commands of the
// second group's models.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/realstack/client/UsbLink.h"

namespace client {

struct Entry {
  uint8_t attributes = 0;
  uint32_t size = 0;
  uint32_t date = 0;
  std::string name;
};

// The entries of listing data up to the end entry.
std::vector<Entry> ParseListing(const std::vector<uint8_t>& data);
// The entries of a one-level listing of the folder named `folder` (its plain name): what
// follows the folder's own entry; none when the listing does not start with it.
std::optional<std::vector<Entry>> LevelEntries(const std::vector<uint8_t>& data,
                                               const std::string& folder);

// A picture of a whole-tree listing with its full camera path.
struct Picture {
  std::string path;
  Entry entry;
};
std::vector<Picture> PicturesOf(const std::vector<Entry>& tree);

class CameraProtocol {
 public:
  explicit CameraProtocol(UsbLink& link) : link_(link) {}

  struct Greeting {
    uint8_t status_letter = 0;
    uint32_t largest_transfer = 0;
  };
  // The handshake up to its 68-byte answer; none when a step fails.
  std::optional<Greeting> Handshake();
  // A camera found active ('A') is not echoed: its 0x50 bytes are read instead. None when
  // the letter is not 'A' or the read fails.
  std::optional<Greeting> Resume();
  // "Get picture abilities" and "lock keys": whether both replies came whole.
  bool StartCommands();

  // Fixed-size replies; none when a transfer fails or the reply is short.
  std::optional<std::vector<uint8_t>> Identify();
  std::optional<std::vector<uint8_t>> DiskInformation(const std::string& drive);
  std::optional<std::vector<uint8_t>> PowerInformation();
  std::optional<std::vector<uint8_t>> SetAttributes(const std::string& path, uint8_t attributes);
  std::optional<std::vector<uint8_t>> Delete(const std::string& path);
  // Data replies.
  std::optional<std::vector<uint8_t>> FlashDeviceName();
  std::optional<std::vector<uint8_t>> Listing(const std::string& path, bool whole_tree);
  std::optional<std::vector<uint8_t>> PictureData(const std::string& path, bool thumbnail);

 private:
  bool Send(uint8_t code, uint8_t command_class, uint32_t request_word,
            const std::vector<uint8_t>& payload);
  std::optional<std::vector<uint8_t>> Read(uint32_t size);
  std::optional<std::vector<uint8_t>> Fixed(uint8_t code, uint8_t command_class,
                                            const std::vector<uint8_t>& payload, uint32_t size);
  std::optional<std::vector<uint8_t>> Data(uint8_t code, const std::vector<uint8_t>& payload);

  UsbLink& link_;
  uint32_t serial_ = 1;
  uint32_t largest_transfer_ = 4096;
};

}  // namespace client

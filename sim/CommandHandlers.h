// The camera's handler for each command of its table. Each is given a block whose code,
// class, request word and tag are its command's, checks the payload, and makes the reply
// (none when the camera stays silent), with what went wrong in `problem`.
#pragma once

#include <optional>
#include <string>

#include "sim/CameraCommands.h"

namespace sim {

using Answer = std::optional<Reply>;

// The status word of a fixed-size reply that reports nothing.
constexpr uint32_t kStatusOk = 0;

// The drive: its name, its listing, its figures.
Answer FlashDeviceName(const CommandBlock& block, CameraContent& content, const StatusWords&,
                       std::string* problem);
Answer DirectoryListing(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem);
Answer DiskInformation(const CommandBlock& block, CameraContent& content, const StatusWords&,
                       std::string* problem);

// One picture: its data, its attribute byte, its removal.
Answer PictureData(const CommandBlock& block, CameraContent& content, const StatusWords&,
                   std::string* problem);
Answer SetAttributes(const CommandBlock& block, CameraContent& content, const StatusWords& status,
                     std::string* problem);
Answer DeletePicture(const CommandBlock& block, CameraContent& content, const StatusWords& status,
                     std::string* problem);

// What the camera knows about itself.
Answer Identification(const CommandBlock& block, CameraContent& content, const StatusWords&,
                      std::string* problem);
Answer SetOwnerName(const CommandBlock& block, CameraContent& content, const StatusWords&,
                    std::string* problem);
Answer PowerInformation(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem);

// Its clock.
Answer GetClock(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem);
Answer SetClock(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem);

// What other clients send the second group's models at start, which pictrove does not:
// answered by those models, noted as problems; the first group's know neither.
Answer PictureAbilities(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem);
Answer LockKeys(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem);

}  // namespace sim

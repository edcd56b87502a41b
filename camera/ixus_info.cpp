// The camera information commands. The reading ones fill the host's camera facts, and only
// once their reply has arrived whole.
#include "camera/ixus_info.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "camera/CameraHost.h"
#include "camera/OwnerName.h"
#include "camera/ixus_command.h"

namespace {

constexpr unsigned char kInfoClass = 0x12;
constexpr unsigned char kDiskClass = 0x11;
constexpr unsigned char kIdentifyCode = 0x01;
constexpr unsigned char kSetOwnerCode = 0x05;
constexpr unsigned char kDiskCode = 0x09;
constexpr unsigned char kPowerCode = 0x0A;
constexpr uint32_t kIdentifyReply = 156;
constexpr uint32_t kOwnerReply = 84;
constexpr uint32_t kDiskReply = 92;
constexpr uint32_t kPowerReply = 88;
constexpr size_t kModelAt = 92;
constexpr size_t kOwnerAt = 124;
constexpr size_t kModelField = 32;
constexpr uint8_t kPowerCritical = 4;
constexpr uint8_t kOnAdaptor = 0x10;

}  // namespace

bool ixus_identify(USBDevice* camera, unsigned char* buffer) {
  ixus_fixedcmd(buffer, kIdentifyCode, kInfoClass, 0);
  CommandOutcome outcome = ixus_command(camera, buffer, kIdentifyReply);
  if (outcome == CommandOutcome::kNotSent) {
    fputs("Could not get camera id (1).\n", stderr);
    return false;
  }
  if (outcome == CommandOutcome::kNoAnswer) {
    fputs(ixus_inpipe(camera) == nullptr ? "Could not get camera id (3).\n"
                                         : "Could not get camera id (2).\n",
          stderr);
    return false;
  }
  CameraFacts& facts = Host().Facts();
  const char* model = reinterpret_cast<const char*>(buffer + kModelAt);
  static_assert(kModelField < sizeof facts.cameramodel);
  size_t model_length = strnlen(model, kModelField);
  memcpy(facts.cameramodel, model, model_length);
  facts.cameramodel[model_length] = '\0';

  std::string utf8 = OwnerFromCamera(buffer + kOwnerAt);
  // Two UTF-8 bytes at most for each of the field's characters: the 200 bytes that the
  // program holds of an owner name are never reached.
  static_assert(2 * kOwnerField < sizeof facts.ownername);
  memcpy(facts.ownername, utf8.data(), utf8.size());
  facts.ownername[utf8.size()] = '\0';
  return true;
}

bool ixus_setowner(USBDevice* camera, unsigned char* buffer, const char* name) {
  if (ixus_inpipe(camera) == nullptr) return false;
  std::string latin1 = OwnerForCamera(name != nullptr ? name : "");
  ixus_fixedcmd(buffer, kSetOwnerCode, kInfoClass, latin1.size() + 1);
  memcpy(buffer + kCommandBlockSize, latin1.data(), latin1.size());
  buffer[kCommandBlockSize + latin1.size()] = '\0';
  CommandOutcome outcome = ixus_command(camera, buffer, kOwnerReply);
  if (outcome == CommandOutcome::kNotSent) fputs("Error in setowner.\n", stderr);
  if (outcome == CommandOutcome::kNoAnswer) fputs("Error in setowner (2).", stderr);
  return outcome == CommandOutcome::kAnswered;
}

bool ixus_diskinfo(USBDevice* camera, unsigned char* buffer, const char* device) {
  if (ixus_inpipe(camera) == nullptr) return false;
  if (device == nullptr) device = "D:";  // the drive the listing uses when none was named
  size_t name_length = strlen(device);
  // A drive name the buffer cannot hold is not sent, and so is no reply waited for.
  if (kCommandBlockSize + name_length + 2 > kCameraBufferSize) {
    fputs("Error in diskinfo.\n", stderr);
    return false;
  }
  ixus_fixedcmd(buffer, kDiskCode, kDiskClass, name_length + 2);
  memcpy(buffer + kCommandBlockSize, device, name_length);
  buffer[kCommandBlockSize + name_length] = '\\';
  buffer[kCommandBlockSize + name_length + 1] = '\0';
  if (ixus_sendcmd(camera, buffer) == -1) {
    fputs("Error in diskinfo.\n", stderr);
    return false;
  }
  fputs("------- diskinfo pre bulktran.\n", stderr);
  bool answered = ixus_fixedreply(ixus_inpipe(camera), buffer, kDiskReply, kDiskCode);
  fputs("------- diskinfo post bulktran.\n", stderr);
  if (!answered) {
    fputs("Error in diskinfo (2).\n", stderr);
    return false;
  }
  CameraFacts& facts = Host().Facts();
  facts.disktotal = ixus_le32(buffer + 84);
  facts.diskfree = ixus_le32(buffer + 88);
  return true;
}

bool ixus_powerinfo(USBDevice* camera, unsigned char* buffer) {
  if (ixus_inpipe(camera) == nullptr) return false;
  ixus_fixedcmd(buffer, kPowerCode, kInfoClass, 0);
  CommandOutcome outcome = ixus_command(camera, buffer, kPowerReply);
  if (outcome == CommandOutcome::kNotSent) fputs("Error in powerinfo.\n", stderr);
  if (outcome == CommandOutcome::kNoAnswer) fputs("Error in powerinfo (2).\n", stderr);
  if (outcome != CommandOutcome::kAnswered) return false;
  uint16_t flags = 0;
  if (buffer[84] == kPowerCritical) flags |= 1;
  if (buffer[87] == kOnAdaptor) flags |= 2;
  Host().Facts().powerflags = flags;
  return true;
}

#include "camera/ixus_clock.h"

#include <cstdio>

#include "camera/ixus_command.h"

namespace {

constexpr unsigned char kClockClass = 0x12;
constexpr unsigned char kGetClockCode = 0x03;
constexpr unsigned char kSetClockCode = 0x04;
constexpr uint32_t kGetClockReply = 0x60;
constexpr uint32_t kSetClockReply = 0x54;
// The time, then eight zero bytes.
constexpr size_t kSetClockPayload = 12;
constexpr size_t kStatusAt = 80;
constexpr size_t kTimeAt = 84;

}  // namespace

bool ixus_getclock(USBDevice* camera, unsigned char* buffer, uint32_t* seconds) {
  ixus_fixedcmd(buffer, kGetClockCode, kClockClass, 0);
  CommandOutcome outcome = ixus_command(camera, buffer, kGetClockReply);
  if (outcome == CommandOutcome::kNotSent)
    fputs("Could not read the camera's clock (1).\n", stderr);
  if (outcome == CommandOutcome::kNoAnswer)
    fputs("Could not read the camera's clock (2).\n", stderr);
  if (outcome != CommandOutcome::kAnswered) return false;
  uint32_t status = ixus_le32(buffer + kStatusAt);
  if (status != 0) {
    fprintf(stderr, "The camera's clock answered with status 0x%08lX.\n",
            static_cast<unsigned long>(status));
    return false;
  }
  *seconds = ixus_le32(buffer + kTimeAt);
  return true;
}

int64_t ixus_setclock(USBDevice* camera, unsigned char* buffer, uint32_t seconds) {
  ixus_fixedcmd(buffer, kSetClockCode, kClockClass, kSetClockPayload);
  ixus_putle32(buffer + kCommandBlockSize, seconds);
  CommandOutcome outcome = ixus_command(camera, buffer, kSetClockReply);
  if (outcome == CommandOutcome::kNotSent) fputs("Could not set the camera's clock (1).\n", stderr);
  if (outcome == CommandOutcome::kNoAnswer)
    fputs("Could not set the camera's clock (2).\n", stderr);
  if (outcome != CommandOutcome::kAnswered) return -1;
  return ixus_le32(buffer + kStatusAt);
}

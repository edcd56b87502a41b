// The simulated camera: a USB device that speaks the camera's protocol from the wire
// description. Handshake, commands and upload announcements arrive on the control pipe,
// upload data on the bulk output pipe; replies queue on the bulk input pipe and are read
// by the host in as many reads as it likes; a completed handshake is told on the interrupt
// pipe. What it holds and what it noticed (a wrong
// handshake echo, malformed commands) can be inspected.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/CameraCommands.h"
#include "sim/CameraContent.h"
#include "sim/Handshake.h"
#include "sim/ReplyQueue.h"
#include "sim/SimDevice.h"
#include "sim/UploadReceiver.h"

namespace sim {

constexpr uint16_t kCameraVendor = 0x04A9;
constexpr uint16_t kDefaultCameraProduct = 0x3049;

class SimCamera : public SimDevice {
 public:
  // The model of the product ID names itself as it does and behaves as its group does; a
  // product outside the model table is a first-group camera of the default name.
  explicit SimCamera(uint16_t product = kDefaultCameraProduct);

  // Content.
  void SetDriveName(const std::string& name);
  std::string DriveName() const;
  // Adds the file (bytes held or generated) to the folder below DCIM (the folder is made
  // when missing).
  void AddFile(const std::string& folder, CameraFile file);
  std::vector<CameraFolder> Folders() const;
  std::optional<CameraFile> FindFile(const std::string& camera_path) const;
  void SetInfo(const CameraInfo& info);
  CameraInfo Info() const;
  // Replaces every folder with 100CANON holding the folder's files as LoadCardFolder
  // (sim/FolderLoader.h) takes them; the number loaded.
  size_t LoadFolder(const std::string& folder);
  // Replaces every folder with 100CANON holding the generated demo card's files (the first
  // `limit` of them, sim/DemoCard.h); the number loaded.
  size_t LoadGenerated(size_t limit = SIZE_MAX);
  // The status words of the replies to the picture commands.
  void SetStatus(const StatusWords& status);
  StatusWords Status() const;

  // The next data reply's header gives `delta` bytes more (or fewer) than it sends.
  void MisstateNextDataReply(int32_t delta);

  // What the camera noticed.
  // Whether the last handshake's third transfer echoed the challenge; none before one.
  std::optional<bool> EchoMatched() const;
  int Handshakes() const;
  std::vector<std::string> Problems() const;
  void ClearProblems();
  // Reply bytes queued and not yet read.
  size_t PendingReply() const;

  // The interrupt pipe, on which the camera tells that a handshake has completed.
  static constexpr uint8_t kInterruptPipe = 0x83;
  static constexpr uint32_t kInterruptPacketSize = 16;

 protected:
  kit::RawReply HandleControl(const ControlSetup& setup, uint8_t* data, uint32_t* length) override;
  kit::RawReply HandlePipe(TransferKind kind, uint8_t endpoint, uint8_t* data,
                           uint32_t* length) override;
  bool InterruptWaiting(uint8_t endpoint) const override;
  void Reset() override;

 private:
  kit::RawReply ActiveRead(uint8_t* data, uint32_t* length);
  kit::RawReply CheckEcho(const uint8_t* data, uint32_t length);
  kit::RawReply Command(const uint8_t* data, uint32_t length);
  kit::RawReply UploadBlock(const uint8_t* data, uint32_t length);
  kit::RawReply ReadReply(uint8_t* data, uint32_t* length);
  void NoteUnread(const char* before);
  void Respond(std::optional<Reply> reply, const std::string& problem);
  void Note(std::string problem);
  void ReplaceWith(std::vector<CameraFile> files);

  CameraContent content_;
  StatusWords status_;
  ReplyQueue replies_;
  UploadReceiver upload_;
  Handshake handshake_;
  bool interrupt_waiting_ = false;
  std::vector<std::string> problems_;
  int32_t misstate_ = 0;
};

}  // namespace sim

#include "sim/SimCamera.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <utility>

#include "sim/CommandBlock.h"
#include "sim/DemoCard.h"
#include "sim/FolderLoader.h"

namespace sim {

using kit::RawReply;

namespace {

constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;
constexpr uint8_t kInputPipe = 0x81;
constexpr uint8_t kOutputPipe = 0x02;
constexpr uint32_t kHandshakeAnswerSize = 68;
constexpr const char* kPictureFolder = "100CANON";

DescriptorSet CameraDescriptors(uint16_t product) {
  return MakeDeviceSet(
      kCameraVendor, product,
      {MakeEndpointDescriptor(kInputPipe, kBulk), MakeEndpointDescriptor(kOutputPipe, kBulk),
       MakeEndpointDescriptor(SimCamera::kInterruptPipe, kInterrupt, 8, 16)},
      u"Canon Inc.", u"Canon Digital Camera");
}

bool Is(const ControlSetup& setup, uint8_t type, uint8_t request, uint16_t value) {
  return setup.request_type == type && setup.request == request && setup.value == value &&
         setup.index == 0;
}

}  // namespace

SimCamera::SimCamera(uint16_t product) : SimDevice(CameraDescriptors(product)) {
  content_.folders.push_back({kPictureFolder, {}});
  if (const models::CameraModel* model = models::FindModel(product)) {
    content_.info.model = models::IdentificationText(*model);
    content_.info.group = model->group;
  }
  // Set by its owner: the host's local time.
  time_t now = std::time(nullptr);
  struct tm local;
  if (localtime_r(&now, &local) != nullptr) content_.info.clock_ahead = local.tm_gmtoff;
}

RawReply SimCamera::HandleControl(const ControlSetup& setup, uint8_t* data, uint32_t* length) {
  if (Is(setup, kVendorIn, 0x0C, 0x55)) {
    uint8_t letter = handshake_.StatusLetter();
    *length = std::min<uint32_t>(*length, 1);
    if (*length != 0) data[0] = letter;
    return {};
  }
  if (Is(setup, kVendorIn, 0x04, 0x01)) {
    std::array<uint8_t, kChallengeSize> challenge = handshake_.Challenge();
    *length = std::min(*length, kChallengeSize);
    std::memcpy(data, challenge.data(), *length);
    return {};
  }
  if (Is(setup, kVendorIn, 0x04, 0x04)) return ActiveRead(data, length);
  if (Is(setup, kVendorOut, 0x04, 0x11)) return CheckEcho(data, *length);
  if (Is(setup, kVendorOut, 0x04, 0x10)) return Command(data, *length);
  Note("unknown control request " + std::to_string(setup.request) + " value " +
       std::to_string(setup.value));
  return RawReply::Refused();
}

RawReply SimCamera::ActiveRead(uint8_t* data, uint32_t* length) {
  std::optional<std::array<uint8_t, kActiveAnswerSize>> answer = handshake_.ActiveAnswer();
  if (!answer) {
    Note("active camera's handshake read while the camera was not active");
    return RawReply::Refused();
  }
  Note("handshake of an active camera: a read of 0x50 bytes in place of the echo");
  *length = std::min(*length, kActiveAnswerSize);
  std::memcpy(data, answer->data(), *length);
  return {};
}

RawReply SimCamera::CheckEcho(const uint8_t* data, uint32_t length) {
  std::string problem;
  bool matched = handshake_.CheckEcho(data, length, &problem);
  if (!problem.empty()) Note(problem);
  if (!matched) return {};
  std::vector<uint8_t> answer(kHandshakeAnswerSize);
  for (size_t i = 0; i < answer.size(); ++i) answer[i] = uint8_t(0x30 + i);
  replies_.Add(Reply(std::move(answer)));
  interrupt_waiting_ = true;
  return {};
}

RawReply SimCamera::Command(const uint8_t* data, uint32_t length) {
  NoteUnread("the next command");
  if (upload_.Interrupt()) Note("announced upload data block did not come");
  std::string problem;
  std::optional<Reply> reply;
  if (length == kAnnouncementSize) {
    reply = upload_.Announce(data, length, &problem);
  } else if (std::optional<CommandBlock> block = ParseCommandBlock(data, length, &problem)) {
    reply = AnswerCommand(*block, content_, status_, &problem);
    if (reply && block->request_word == kDataReply && misstate_ != 0)
      reply->Misstate(std::exchange(misstate_, 0));
  }
  Respond(std::move(reply), problem);
  return {};
}

RawReply SimCamera::UploadBlock(const uint8_t* data, uint32_t length) {
  NoteUnread("the upload data block");
  std::string problem;
  std::optional<Reply> reply = upload_.Receive(data, length, content_, &problem);
  Respond(std::move(reply), problem);
  return {};
}

RawReply SimCamera::ReadReply(uint8_t* data, uint32_t* length) {
  if (replies_.Pending() == 0 && *length != 0) return RawReply::Failed();  // the read times out
  *length = uint32_t(replies_.Take(data, *length));
  return {};
}

void SimCamera::NoteUnread(const char* before) {
  if (replies_.Pending() != 0)
    Note(std::to_string(replies_.Pending()) + " reply bytes left unread before " + before);
}

void SimCamera::Respond(std::optional<Reply> reply, const std::string& problem) {
  if (!problem.empty()) Note(problem);
  if (reply) replies_.Add(std::move(*reply));
}

RawReply SimCamera::HandlePipe(TransferKind kind, uint8_t endpoint, uint8_t* data,
                               uint32_t* length) {
  if (kind == TransferKind::kBulk && endpoint == kInputPipe) return ReadReply(data, length);
  if (kind == TransferKind::kBulk && endpoint == kOutputPipe && upload_.Expecting())
    return UploadBlock(data, *length);
  if (kind == TransferKind::kBulk) {
    Note("bulk data on the output pipe without an upload announcement");
    return RawReply::Refused();
  }
  if (endpoint == kInterruptPipe && interrupt_waiting_) {
    interrupt_waiting_ = false;
    *length = std::min(*length, kInterruptPacketSize);
    std::memset(data, 0, *length);
    return {};
  }
  return RawReply::Failed();  // nothing to report: the interrupt read times out
}

bool SimCamera::InterruptWaiting(uint8_t endpoint) const {
  return endpoint == kInterruptPipe && interrupt_waiting_;
}

void SimCamera::Note(std::string problem) {
  problems_.push_back(std::move(problem));
}

void SimCamera::Reset() {
  replies_.Clear();
  upload_.Reset();
  handshake_.Reset();
  interrupt_waiting_ = false;
}

void SimCamera::MisstateNextDataReply(int32_t delta) {
  std::lock_guard lock(DeviceMutex());
  misstate_ = delta;
}

void SimCamera::SetDriveName(const std::string& name) {
  std::lock_guard lock(DeviceMutex());
  content_.drive = name;
}

std::string SimCamera::DriveName() const {
  std::lock_guard lock(DeviceMutex());
  return content_.drive;
}

void SimCamera::AddFile(const std::string& folder, CameraFile file) {
  std::lock_guard lock(DeviceMutex());
  content_.Folder(folder).files.push_back(std::move(file));
}

std::vector<CameraFolder> SimCamera::Folders() const {
  std::lock_guard lock(DeviceMutex());
  return content_.folders;
}

std::optional<CameraFile> SimCamera::FindFile(const std::string& camera_path) const {
  std::lock_guard lock(DeviceMutex());
  const CameraFile* file = content_.Find(camera_path);
  if (file == nullptr) return std::nullopt;
  return *file;
}

void SimCamera::SetInfo(const CameraInfo& info) {
  std::lock_guard lock(DeviceMutex());
  content_.info = info;
}

CameraInfo SimCamera::Info() const {
  std::lock_guard lock(DeviceMutex());
  return content_.info;
}

void SimCamera::ReplaceWith(std::vector<CameraFile> files) {
  std::lock_guard lock(DeviceMutex());
  content_.folders = {{kPictureFolder, std::move(files)}};
}

size_t SimCamera::LoadFolder(const std::string& folder) {
  std::vector<CameraFile> files = LoadCardFolder(folder);
  size_t count = files.size();
  ReplaceWith(std::move(files));
  return count;
}

size_t SimCamera::LoadGenerated(size_t limit) {
  std::vector<CameraFile> files = DemoCard(limit);
  size_t count = files.size();
  ReplaceWith(std::move(files));
  return count;
}

void SimCamera::SetStatus(const StatusWords& status) {
  std::lock_guard lock(DeviceMutex());
  status_ = status;
}

StatusWords SimCamera::Status() const {
  std::lock_guard lock(DeviceMutex());
  return status_;
}

std::optional<bool> SimCamera::EchoMatched() const {
  std::lock_guard lock(DeviceMutex());
  return handshake_.EchoMatched();
}

int SimCamera::Handshakes() const {
  std::lock_guard lock(DeviceMutex());
  return handshake_.Completed();
}

std::vector<std::string> SimCamera::Problems() const {
  std::lock_guard lock(DeviceMutex());
  return problems_;
}

void SimCamera::ClearProblems() {
  std::lock_guard lock(DeviceMutex());
  problems_.clear();
}

size_t SimCamera::PendingReply() const {
  std::lock_guard lock(DeviceMutex());
  return replies_.Pending();
}

}  // namespace sim

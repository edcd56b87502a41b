#include "sim/SimDevice.h"

#include <algorithm>
#include <cstring>

#include "kit/UsbDescriptors.h"

namespace sim {

using kit::RawReply;

namespace {

using namespace kit::usb;

// Copies as much of `bytes` as fits and reports how much did.
void Deliver(const std::vector<uint8_t>& bytes, uint8_t* buffer, uint32_t* length) {
  uint32_t n = uint32_t(std::min<size_t>(*length, bytes.size()));
  if (n != 0) std::memcpy(buffer, bytes.data(), n);
  *length = n;
}

}  // namespace

SimDevice::SimDevice(DescriptorSet descriptors) : descriptors_(std::move(descriptors)) {}

bool SimDevice::Refuses(DescriptorPosition position) const {
  return gone_ || faults_.DescriptorFails(position);
}

RawReply SimDevice::DriverVersion(uint32_t* version) {
  std::lock_guard lock(mutex_);
  if (gone_ || faults_.version_call_fails) return RawReply::Failed();
  *version = version_;
  return {};
}

RawReply SimDevice::DeviceDescriptor(uint8_t descriptor[18]) {
  std::lock_guard lock(mutex_);
  if (Refuses({DescriptorKind::kDevice})) return RawReply::Failed();
  std::memcpy(descriptor, descriptors_.device.data(), 18);
  return {};
}

RawReply SimDevice::ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) {
  std::lock_guard lock(mutex_);
  if (Refuses({DescriptorKind::kConfiguration, configuration}) ||
      configuration >= descriptors_.configurations.size())
    return RawReply::Failed();
  std::memcpy(descriptor, descriptors_.configurations[configuration].descriptor.data(), 9);
  return {};
}

RawReply SimDevice::InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                                        uint8_t descriptor[9]) {
  std::lock_guard lock(mutex_);
  if (Refuses({DescriptorKind::kInterface, configuration, interface}) ||
      configuration >= descriptors_.configurations.size())
    return RawReply::Failed();
  const auto& interfaces = descriptors_.configurations[configuration].interfaces;
  if (interface >= interfaces.size()) return RawReply::Failed();
  std::memcpy(descriptor, interfaces[interface].descriptor.data(), 9);
  return {};
}

RawReply SimDevice::EndpointDescriptor(uint32_t configuration, uint32_t interface,
                                       uint32_t endpoint, uint8_t descriptor[7]) {
  std::lock_guard lock(mutex_);
  if (Refuses({DescriptorKind::kEndpoint, configuration, interface, endpoint}) ||
      configuration >= descriptors_.configurations.size())
    return RawReply::Failed();
  const auto& interfaces = descriptors_.configurations[configuration].interfaces;
  if (interface >= interfaces.size() || endpoint >= interfaces[interface].endpoints.size())
    return RawReply::Failed();
  std::memcpy(descriptor, interfaces[interface].endpoints[endpoint].data(), 7);
  return {};
}

RawReply SimDevice::StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) {
  std::lock_guard lock(mutex_);
  auto found = descriptors_.strings.find(index);
  if (Refuses({DescriptorKind::kString, index}) || found == descriptors_.strings.end())
    return RawReply::Failed();
  Deliver(found->second, buffer, length);
  return {};
}

RawReply SimDevice::OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                                    uint8_t* buffer, uint32_t size) {
  std::lock_guard lock(mutex_);
  if (Refuses({DescriptorKind::kOther, configuration, interface, index}) ||
      configuration >= descriptors_.configurations.size())
    return RawReply::Failed();
  const auto& interfaces = descriptors_.configurations[configuration].interfaces;
  if (interface >= interfaces.size() || index >= interfaces[interface].others.size())
    return RawReply::Failed();
  Deliver(interfaces[interface].others[index], buffer, &size);
  return {};
}

RawReply SimDevice::Descriptor(uint8_t type, uint8_t index, uint16_t /*language*/, uint8_t* buffer,
                               uint32_t* length) {
  std::lock_guard lock(mutex_);
  if (Refuses({DescriptorKind::kAny, type, index})) return RawReply::Failed();
  if (type == kDeviceType && index == 0) {
    Deliver({descriptors_.device.begin(), descriptors_.device.end()}, buffer, length);
    return {};
  }
  if (type == kConfigurationType && index < descriptors_.configurations.size()) {
    Deliver(ConfigurationBundle(descriptors_.configurations[index]), buffer, length);
    return {};
  }
  auto found = descriptors_.strings.find(index);
  if (type == kStringType && found != descriptors_.strings.end()) {
    Deliver(found->second, buffer, length);
    return {};
  }
  return RawReply::Failed();
}

RawReply SimDevice::SetConfiguration(uint32_t configuration) {
  std::lock_guard lock(mutex_);
  if (gone_ || faults_.configuration == ConfigurationFault::kCallFails) return RawReply::Failed();
  if (faults_.configuration == ConfigurationFault::kStatusNonZero ||
      configuration >= descriptors_.configurations.size())
    return RawReply::Refused();
  active_ = int(configuration);
  return {};
}

const EndpointDescriptorBytes* SimDevice::FindEndpoint(uint32_t interface,
                                                       uint32_t endpoint) const {
  if (active_ < 0) return nullptr;
  const auto& interfaces = descriptors_.configurations[active_].interfaces;
  if (interface >= interfaces.size() || endpoint >= interfaces[interface].endpoints.size())
    return nullptr;
  return &interfaces[interface].endpoints[endpoint];
}

SimDevice::Outcome SimDevice::Run(TransferRecord& record, uint8_t* data, uint32_t* length,
                                  bool usable, const Handler& handler) {
  Outcome outcome;
  std::optional<TransferFault> fault = faults_.TakeTransferFault(++transfers_);
  record.requested = *length;
  bool input = record.IsInput();
  // Only a kept record needs the bytes; a benchmark's gigabytes are not copied.
  if (keep_log_ && !input && data != nullptr) record.data.assign(data, data + *length);
  if (fault && fault->kind == TransferFault::kUnplug && !gone_) {
    gone_ = true;
    outcome.unplugged = std::move(unplug_handler_);
    unplug_handler_ = nullptr;
  }
  bool fails = gone_ || !usable || (data == nullptr && *length != 0) ||
               (fault && fault->kind == TransferFault::kFail);
  if (fails) {
    outcome.reply = RawReply::Failed();
  } else {
    outcome.moved = *length;
    bool cut =
        fault && (fault->kind == TransferFault::kShort || fault->kind == TransferFault::kFailAfter);
    if (cut) outcome.moved = std::min(outcome.moved, fault->bytes);
    outcome.reply = handler(data, &outcome.moved);
    outcome.moved = outcome.reply.Ok() ? std::min(outcome.moved, *length) : 0;
    if (fault && fault->kind == TransferFault::kFailAfter) outcome.reply = RawReply::Failed();
  }
  if (keep_log_ && input && outcome.moved != 0) record.data.assign(data, data + outcome.moved);
  record.reply = outcome.reply;
  record.transferred = outcome.moved;
  *length = outcome.moved;
  if (keep_log_) log_.Add(std::move(record));
  return outcome;
}

void SimDevice::Finish(Outcome& outcome, bool bulk, Pacer::Clock::time_point* complete) {
  if (outcome.unplugged) outcome.unplugged();
  bool paced = bulk && outcome.reply.Ok();
  if (complete != nullptr)
    *complete = paced ? pacer_.Charge(outcome.moved, outcome.issued) : outcome.issued;
  else if (paced)
    pacer_.Account(outcome.moved, outcome.issued);
}

SimDevice::EmulatorTime::~EmulatorTime() {
  double spent = ThreadCpuSeconds() - start_;
  std::lock_guard lock(device_.mutex_);
  device_.emulator_cpu_ += spent;
}

RawReply SimDevice::ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                    uint16_t index, uint16_t* length, void* data) {
  EmulatorTime counted(*this);
  Outcome outcome;
  {
    std::lock_guard lock(mutex_);
    TransferRecord record;
    record.kind = TransferKind::kControl;
    record.request_type = request_type;
    record.request = request;
    record.value = value;
    record.index = index;
    ControlSetup setup{request_type, request, value, index};
    uint32_t requested = *length;
    outcome = Run(record, static_cast<uint8_t*>(data), &requested, true,
                  [&](uint8_t* bytes, uint32_t* n) { return HandleControl(setup, bytes, n); });
    *length = uint16_t(outcome.moved);
  }
  Finish(outcome, false, nullptr);
  return outcome.reply;
}

RawReply SimDevice::Pipe(TransferKind kind, uint32_t interface, uint32_t endpoint, void* data,
                         uint32_t* length, Pacer::Clock::time_point* complete) {
  EmulatorTime counted(*this);
  Pacer::Clock::time_point issued = Pacer::Clock::now();
  bool bulk = kind == TransferKind::kBulk;
  uint8_t address = 0;
  Outcome outcome;
  {
    std::lock_guard lock(mutex_);
    TransferRecord record;
    record.kind = kind;
    const EndpointDescriptorBytes* found = FindEndpoint(interface, endpoint);
    uint8_t type = kind == TransferKind::kBulk ? kBulk : kInterrupt;
    bool usable = found != nullptr && ((*found)[3] & 3) == type;
    if (found != nullptr) record.endpoint = (*found)[2];
    address = record.endpoint;
    if (bulk) issued = read_ahead_.Issued(address, issued);
    outcome = Run(record, static_cast<uint8_t*>(data), length, usable,
                  [&](uint8_t* bytes, uint32_t* n) { return HandlePipe(kind, address, bytes, n); });
  }
  outcome.issued = issued;
  Finish(outcome, bulk, complete);
  if (bulk) {
    std::lock_guard lock(mutex_);
    read_ahead_.HandedOver(address, outcome.reply.Ok(), Pacer::Clock::now());
  }
  return outcome.reply;
}

RawReply SimDevice::InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                      uint32_t* length) {
  return Pipe(TransferKind::kInterrupt, interface, endpoint, data, length, nullptr);
}

RawReply SimDevice::BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                 uint32_t* length) {
  return Pipe(TransferKind::kBulk, interface, endpoint, data, length, nullptr);
}

RawReply SimDevice::SubmitBulk(uint32_t interface, uint32_t endpoint, void* data, uint32_t* length,
                               Pacer::Clock::time_point* complete) {
  return Pipe(TransferKind::kBulk, interface, endpoint, data, length, complete);
}

void SimDevice::StartReadAhead(uint32_t interface, uint32_t endpoint, uint64_t total,
                               uint32_t piece) {
  Pacer::Clock::time_point now = Pacer::Clock::now();
  std::lock_guard lock(mutex_);
  const EndpointDescriptorBytes* found = FindEndpoint(interface, endpoint);
  bool bulk_input = found != nullptr && ((*found)[3] & 3) == kBulk && ((*found)[2] & 0x80);
  if (bulk_input && piece != 0) read_ahead_.Start((*found)[2], total, piece, now);
}

void SimDevice::EndReadAhead(uint32_t, uint32_t) {
  std::lock_guard lock(mutex_);
  read_ahead_.End();
}

RawReply SimDevice::HandleControl(const ControlSetup&, uint8_t*, uint32_t*) {
  return RawReply::Refused();
}

RawReply SimDevice::HandlePipe(TransferKind, uint8_t, uint8_t*, uint32_t*) {
  return RawReply::Refused();
}

void SimDevice::SetDriverVersion(uint32_t version) {
  std::lock_guard lock(mutex_);
  version_ = version;
}

void SimDevice::FailVersionCall() {
  std::lock_guard lock(mutex_);
  faults_.version_call_fails = true;
}

void SimDevice::FailDescriptor(DescriptorPosition position) {
  std::lock_guard lock(mutex_);
  faults_.FailDescriptor(position);
}

void SimDevice::FailSetConfiguration(ConfigurationFault fault) {
  std::lock_guard lock(mutex_);
  faults_.configuration = fault;
}

void SimDevice::FailTransfer(uint64_t number) {
  std::lock_guard lock(mutex_);
  faults_.SetTransferFault(number, {TransferFault::kFail});
}

void SimDevice::ShortenTransfer(uint64_t number, uint32_t bytes) {
  std::lock_guard lock(mutex_);
  faults_.SetTransferFault(number, {TransferFault::kShort, bytes});
}

void SimDevice::FailTransferAfter(uint64_t number, uint32_t bytes) {
  std::lock_guard lock(mutex_);
  faults_.SetTransferFault(number, {TransferFault::kFailAfter, bytes});
}

void SimDevice::UnplugAtTransfer(uint64_t number) {
  std::lock_guard lock(mutex_);
  faults_.SetTransferFault(number, {TransferFault::kUnplug});
}

void SimDevice::PaceBulk(uint64_t bytes_per_second) {
  pacer_.SetRate(bytes_per_second);
}

uint64_t SimDevice::PacedBytes() const {
  return pacer_.Charged();
}

double SimDevice::EmulatorCpuSeconds() const {
  std::lock_guard lock(mutex_);
  return emulator_cpu_;
}

void SimDevice::Unplug() {
  std::function<void()> handler;
  {
    std::lock_guard lock(mutex_);
    gone_ = true;
    handler = std::move(unplug_handler_);
    unplug_handler_ = nullptr;
  }
  if (handler) handler();
}

void SimDevice::Disconnect() {
  std::lock_guard lock(mutex_);
  gone_ = true;
  unplug_handler_ = nullptr;
}

void SimDevice::Connect() {
  std::lock_guard lock(mutex_);
  if (!gone_) return;
  gone_ = false;
  ++generation_;
  active_ = -1;
  Reset();
}

bool SimDevice::IsGone() const {
  std::lock_guard lock(mutex_);
  return gone_;
}

uint64_t SimDevice::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

void SimDevice::SetUnplugHandler(std::function<void()> handler) {
  std::lock_guard lock(mutex_);
  unplug_handler_ = std::move(handler);
}

std::vector<TransferRecord> SimDevice::Transfers() const {
  std::lock_guard lock(mutex_);
  return log_.Records();
}

void SimDevice::ClearTransfers() {
  std::lock_guard lock(mutex_);
  log_.Clear();
}

uint64_t SimDevice::TransferCount() const {
  std::lock_guard lock(mutex_);
  return transfers_;
}

void SimDevice::KeepTransfers(bool keep) {
  std::lock_guard lock(mutex_);
  keep_log_ = keep;
}

int SimDevice::ActiveConfiguration() const {
  std::lock_guard lock(mutex_);
  return active_;
}

bool SimDevice::InterruptPacketWaiting(uint8_t endpoint) const {
  std::lock_guard lock(mutex_);
  return !gone_ && InterruptWaiting(endpoint);
}

}  // namespace sim

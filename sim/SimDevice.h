// A simulated USB device: answers every raw driver request from its descriptor set the way
// the raw driver would, passes transfers to the device's behaviour (subclasses), and logs
// them. Faults can be injected. Thread-safe: transfers come from the program's threads
// while tests plug, unplug and inspect from theirs.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "kit/RawUsb.h"
#include "sim/CpuTime.h"
#include "sim/Descriptors.h"
#include "sim/DeviceFaults.h"
#include "sim/Pacer.h"
#include "sim/ReadAheadModel.h"
#include "sim/TransferLog.h"

namespace sim {

struct ControlSetup {
  uint8_t request_type = 0;
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;

  bool IsInput() const { return request_type & 0x80; }
};

class SimDevice : public kit::RawUsbNode {
 public:
  explicit SimDevice(DescriptorSet descriptors);
  ~SimDevice() override = default;

  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  // kit::RawUsbNode
  kit::RawReply DriverVersion(uint32_t* version) override;
  kit::RawReply DeviceDescriptor(uint8_t descriptor[18]) override;
  kit::RawReply ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) override;
  kit::RawReply InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                                    uint8_t descriptor[9]) override;
  kit::RawReply EndpointDescriptor(uint32_t configuration, uint32_t interface, uint32_t endpoint,
                                   uint8_t descriptor[7]) override;
  kit::RawReply StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) override;
  kit::RawReply OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                                uint8_t* buffer, uint32_t size) override;
  kit::RawReply Descriptor(uint8_t type, uint8_t index, uint16_t language, uint8_t* buffer,
                           uint32_t* length) override;
  kit::RawReply SetConfiguration(uint32_t configuration) override;
  kit::RawReply ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                uint16_t index, uint16_t* length, void* data) override;
  kit::RawReply InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                  uint32_t* length) override;
  kit::RawReply BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                             uint32_t* length) override;
  void StartReadAhead(uint32_t interface, uint32_t endpoint, uint64_t total,
                      uint32_t piece) override;
  void EndReadAhead(uint32_t interface, uint32_t endpoint) override;
  // A bulk transfer as a kernel with transfers in flight makes it: the bytes move at once,
  // and `complete` tells when the bus will have carried them, paced from now, without
  // waiting for it.
  kit::RawReply SubmitBulk(uint32_t interface, uint32_t endpoint, void* data, uint32_t* length,
                           Pacer::Clock::time_point* complete);

  // Fault injection.
  void SetDriverVersion(uint32_t version);
  void FailVersionCall();
  void FailDescriptor(DescriptorPosition position);
  void FailSetConfiguration(ConfigurationFault fault);
  // Transfers are numbered from 1 over the device's life, control, bulk and interrupt
  // alike; TransferCount() tells how many have been made so far.
  void FailTransfer(uint64_t number);
  void ShortenTransfer(uint64_t number, uint32_t bytes);
  // The transfer moves up to `bytes` bytes and then fails.
  void FailTransferAfter(uint64_t number, uint32_t bytes);
  void UnplugAtTransfer(uint64_t number);
  // Bulk data at most this many bytes a second (0: as fast as it goes).
  // Every call starts counting afresh.
  void PaceBulk(uint64_t bytes_per_second);
  // The bulk bytes paced since then: their time at that rate is the wire time.
  uint64_t PacedBytes() const;
  // The CPU seconds the device's transfer calls have taken, answering and keeping the pace:
  // the emulator's own cost, on the threads of the program that made them.
  double EmulatorCpuSeconds() const;

  // Presence. Unplug: the device is gone and its bus (if any) drops its node. Disconnect:
  // gone without telling the bus (the bus itself calls it). Connect: plugged in again,
  // fresh as after enumeration, with the next generation; handles opened in an earlier
  // generation keep failing.
  void Unplug();
  void Disconnect();
  void Connect();
  bool IsGone() const;
  uint64_t Generation() const;
  // Called once, outside the device's lock, when the device unplugs itself.
  void SetUnplugHandler(std::function<void()> handler);

  // Inspection.
  std::vector<TransferRecord> Transfers() const;
  void ClearTransfers();
  uint64_t TransferCount() const;
  // Whether to keep transfer records at all (benchmarks and fuzzing turn it off).
  void KeepTransfers(bool keep);
  // The active configuration's position, or -1 before any SetConfiguration.
  int ActiveConfiguration() const;
  // Whether an interrupt read on the endpoint (an address) would find a packet now; asked
  // without a transfer, for a host that keeps interrupt reads pending until one comes.
  bool InterruptPacketWaiting(uint8_t endpoint) const;

 protected:
  // The device's behaviour, called with the device's lock held. `length`: in the bytes
  // that may move, out the bytes that moved. Defaults refuse every transfer.
  virtual kit::RawReply HandleControl(const ControlSetup& setup, uint8_t* data, uint32_t* length);
  virtual kit::RawReply HandlePipe(TransferKind kind, uint8_t endpoint, uint8_t* data,
                                   uint32_t* length);
  // Called with the lock held when the device is plugged in again.
  virtual void Reset() {}
  // With the lock held: whether the device has an interrupt packet for the endpoint.
  virtual bool InterruptWaiting(uint8_t /*endpoint*/) const { return false; }

  std::mutex& DeviceMutex() const { return mutex_; }

 private:
  using Handler = std::function<kit::RawReply(uint8_t*, uint32_t*)>;
  struct Outcome {
    kit::RawReply reply;
    uint32_t moved = 0;
    std::function<void()> unplugged;
    Pacer::Clock::time_point issued;  // when the host asked, before it waited for the lock
  };

  // One counted transfer, with the lock held: faults, the behaviour, the log.
  Outcome Run(TransferRecord& record, uint8_t* data, uint32_t* length, bool usable,
              const Handler& handler);
  // After the lock is released: tell the bus about an unplug, keep the pace (waiting for the
  // transfer's end, or telling it in `complete`).
  void Finish(Outcome& outcome, bool bulk, Pacer::Clock::time_point* complete);
  // Counts the CPU of one transfer call, from entry to return, as the emulator's: the device
  // stands for the kernel and the camera alike.
  class EmulatorTime {
   public:
    explicit EmulatorTime(SimDevice& device) : device_(device), start_(ThreadCpuSeconds()) {}
    ~EmulatorTime();

   private:
    SimDevice& device_;
    double start_;
  };
  const EndpointDescriptorBytes* FindEndpoint(uint32_t interface, uint32_t endpoint) const;
  kit::RawReply Pipe(TransferKind kind, uint32_t interface, uint32_t endpoint, void* data,
                     uint32_t* length, Pacer::Clock::time_point* complete);
  // With the lock held: whether a descriptor request must fail.
  bool Refuses(DescriptorPosition position) const;

  mutable std::mutex mutex_;
  DescriptorSet descriptors_;
  DeviceFaults faults_;
  TransferLog log_;
  Pacer pacer_;
  ReadAheadModel read_ahead_;
  std::function<void()> unplug_handler_;
  uint32_t version_ = kit::kRawDriverVersion;
  int active_ = -1;
  uint64_t transfers_ = 0;
  double emulator_cpu_ = 0;
  uint64_t generation_ = 0;
  bool gone_ = false;
  bool keep_log_ = true;
};

}  // namespace sim

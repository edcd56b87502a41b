// The raw USB driver as the device model sees it: one call per driver request, each
// reporting whether the call itself went through and the driver's status word.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kit {

// The outcome of one driver request: `call` is 0 when the request reached the driver
// (the old ioctl result), `status` the driver's status word, 0 on success.
struct RawReply {
  int call = 0;
  uint32_t status = 0;

  bool Ok() const { return call == 0 && status == 0; }
  static RawReply Failed() { return {-1, 1}; }
  static RawReply Refused() { return {0, 1}; }
};

// The interface version every driver reports.
constexpr uint32_t kRawDriverVersion = 0x0015;

// How many pieces of an announced bulk read a node keeps in flight: enough that the bus
// never waits while the caller handles the piece before.
constexpr uint32_t kReadAheadPieces = 4;

// One open device node. Configurations, interfaces and endpoints are addressed by their
// position in the driver's enumeration (from 0); transfers apply interface and endpoint
// positions to the active configuration, and the endpoint's own direction decides whether
// `data` is read or filled.
class RawUsbNode {
 public:
  virtual ~RawUsbNode() = default;

  virtual RawReply DriverVersion(uint32_t* version) = 0;
  virtual RawReply DeviceDescriptor(uint8_t descriptor[18]) = 0;
  virtual RawReply ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) = 0;
  virtual RawReply InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                                       uint8_t descriptor[9]) = 0;
  virtual RawReply EndpointDescriptor(uint32_t configuration, uint32_t interface, uint32_t endpoint,
                                      uint8_t descriptor[7]) = 0;
  // `length`: in the buffer size, out the bytes delivered.
  virtual RawReply StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) = 0;
  virtual RawReply OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                                   uint8_t* buffer, uint32_t size) = 0;
  // `length`: in the buffer size, out the bytes delivered.
  virtual RawReply Descriptor(uint8_t type, uint8_t index, uint16_t language, uint8_t* buffer,
                              uint32_t* length) = 0;
  virtual RawReply SetConfiguration(uint32_t configuration) = 0;
  // `length`: in the requested length, out the bytes transferred.
  virtual RawReply ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                   uint16_t index, uint16_t* length, void* data) = 0;
  virtual RawReply InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                     uint32_t* length) = 0;
  virtual RawReply BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                uint32_t* length) = 0;

  // The next bulk reads on the input endpoint take `total` bytes, in pieces of at most
  // `piece` bytes: the node may have up to kReadAheadPieces of them in flight while the
  // caller handles the piece before, never more than `total` bytes. A failed piece ends it,
  // and with it the pieces after it. A node that cannot read ahead reads on demand.
  virtual void StartReadAhead(uint32_t /*interface*/, uint32_t /*endpoint*/, uint64_t /*total*/,
                              uint32_t /*piece*/) {}
  // Ends it: what is still in flight is cancelled, bytes not yet read are dropped.
  virtual void EndReadAhead(uint32_t /*interface*/, uint32_t /*endpoint*/) {}
};

class RawUsbDriver {
 public:
  virtual ~RawUsbDriver() = default;

  // Opens the node for reading and writing; none when it cannot be opened.
  virtual std::unique_ptr<RawUsbNode> Open(const std::string& path) = 0;
};

}  // namespace kit

// Reading a bulk input endpoint ahead of its reader with the host library's asynchronous
// transfers, so that the bus carries the next piece of a reply while the reader handles the
// last. Only what was announced is asked for: the camera sends it whatever the reader does.
#pragma once

#include <libusb.h>

#include <cstdint>
#include <deque>
#include <memory>

namespace kit {

class BulkReadAhead {
 public:
  BulkReadAhead(libusb_context* context, libusb_device_handle* handle, unsigned timeout_ms);
  ~BulkReadAhead();  // ends it

  BulkReadAhead(const BulkReadAhead&) = delete;
  BulkReadAhead& operator=(const BulkReadAhead&) = delete;

  // The next reads on `endpoint` take `total` bytes in pieces of at most `piece` bytes.
  void Start(uint8_t endpoint, uint64_t total, uint32_t piece);
  // Cancels what is in flight and waits until the library has given every transfer back;
  // bytes not yet read are dropped.
  void End();
  // Whether the next read on `endpoint` is one of the pieces read ahead.
  bool Serves(uint8_t endpoint) const;
  // The next of them, as a synchronous bulk read answers: the library's result, and in
  // `moved` the bytes copied. A failed piece ends the reading ahead.
  int Read(uint8_t* data, int length, int* moved);

 private:
  struct Piece;

  // Keeps kReadAheadPieces in flight while announced bytes are left to ask for.
  void Submit();
  void Await(Piece& piece);

  libusb_context* context_;
  libusb_device_handle* handle_;
  unsigned timeout_ms_;
  uint8_t endpoint_ = 0;
  bool active_ = false;
  uint64_t unasked_ = 0;  // announced bytes no transfer has asked for yet
  uint32_t piece_ = 0;
  std::deque<std::unique_ptr<Piece>> pieces_;  // in the order asked for
};

}  // namespace kit

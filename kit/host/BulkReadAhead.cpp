#include "kit/host/BulkReadAhead.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kit/RawUsb.h"

namespace kit {

struct BulkReadAhead::Piece {
  ~Piece() { libusb_free_transfer(transfer); }

  libusb_transfer* transfer = nullptr;
  std::vector<uint8_t> bytes;
  int completed = 0;  // set when the library gives the transfer back
  int refused = 0;    // the library's result when it would not take the transfer
  int taken = 0;      // bytes already copied to the reader
};

namespace {

void LIBUSB_CALL Completed(libusb_transfer* transfer) {
  *static_cast<int*>(transfer->user_data) = 1;
}

// What a synchronous bulk read answers for a transfer that ended so.
int Result(libusb_transfer_status status) {
  switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
      return 0;
    case LIBUSB_TRANSFER_TIMED_OUT:
      return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_STALL:
      return LIBUSB_ERROR_PIPE;
    case LIBUSB_TRANSFER_NO_DEVICE:
      return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_OVERFLOW:
      return LIBUSB_ERROR_OVERFLOW;
    default:
      return LIBUSB_ERROR_IO;
  }
}

}  // namespace

BulkReadAhead::BulkReadAhead(libusb_context* context, libusb_device_handle* handle,
                             unsigned timeout_ms)
    : context_(context), handle_(handle), timeout_ms_(timeout_ms) {}

BulkReadAhead::~BulkReadAhead() {
  End();
}

void BulkReadAhead::Start(uint8_t endpoint, uint64_t total, uint32_t piece) {
  End();
  endpoint_ = endpoint;
  unasked_ = total;
  piece_ = piece;
  active_ = true;
  Submit();
}

void BulkReadAhead::Submit() {
  while (pieces_.size() < kReadAheadPieces && unasked_ > 0) {
    auto piece = std::make_unique<Piece>();
    int size = int(std::min<uint64_t>(unasked_, piece_));
    piece->bytes.resize(size_t(size));
    piece->transfer = libusb_alloc_transfer(0);
    int result = LIBUSB_ERROR_NO_MEM;
    if (piece->transfer != nullptr) {
      libusb_fill_bulk_transfer(piece->transfer, handle_, endpoint_, piece->bytes.data(), size,
                                Completed, &piece->completed, timeout_ms_);
      result = libusb_submit_transfer(piece->transfer);
    }
    if (result != 0) {
      // The reader meets the refusal in its turn; nothing is asked for after it.
      piece->refused = result;
      piece->completed = 1;
      unasked_ = 0;
    } else {
      unasked_ -= uint64_t(size);
    }
    pieces_.push_back(std::move(piece));
  }
}

void BulkReadAhead::Await(Piece& piece) {
  while (!piece.completed) {
    int result = libusb_handle_events_completed(context_, &piece.completed);
    // As a synchronous transfer does: when events cannot be handled, the transfer is
    // cancelled, and its end still awaited.
    if (result < 0 && result != LIBUSB_ERROR_INTERRUPTED) libusb_cancel_transfer(piece.transfer);
  }
}

void BulkReadAhead::End() {
  for (auto& piece : pieces_)
    if (!piece->completed) libusb_cancel_transfer(piece->transfer);
  // A transfer may only be freed once the library has given it back.
  for (auto& piece : pieces_) Await(*piece);
  pieces_.clear();
  unasked_ = 0;
  active_ = false;
}

bool BulkReadAhead::Serves(uint8_t endpoint) const {
  return active_ && endpoint == endpoint_ && !pieces_.empty();
}

int BulkReadAhead::Read(uint8_t* data, int length, int* moved) {
  Piece& piece = *pieces_.front();
  Await(piece);
  int result = piece.refused != 0 ? piece.refused : Result(piece.transfer->status);
  int arrived = piece.refused != 0 ? 0 : piece.transfer->actual_length;
  *moved = std::min(length, arrived - piece.taken);
  memcpy(data, piece.bytes.data() + piece.taken, size_t(*moved));
  piece.taken += *moved;
  if (result != 0) {
    End();  // the pieces after a failed one are no part of the reply the reader expects
  } else if (piece.taken == arrived) {
    pieces_.pop_front();
    Submit();
  }
  return result;
}

}  // namespace kit

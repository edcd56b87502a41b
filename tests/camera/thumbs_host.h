// The program around the camera protocol, for tests: a camera buffer with nothing writable
// after it, and a picture list that keeps its records in a vector.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "tests/camera/listing_bytes.h"

namespace listing_test {

class RecordingHost : public CameraHost {
 public:
  RecordingHost();  // installs itself
  ~RecordingHost() override;

  unsigned char* CameraBuffer() override { return buffer_.Data(); }
  uint16_t ProductID() const override { return product_; }
  void SetProductID(uint16_t product) override { product_ = product; }
  void clear_list() override;
  void add_item(pic_Item* item) override;
  void sort_list() override;
  void openstatus(uint64_t total, const char* text) override;
  void updatestatus(unsigned long delta, const char* text) override;
  void closestatus() override;
  CameraFacts& Facts() override { return facts; }

  CameraFacts facts;
  // "open <total> <text>" and "close" of the status window, in order.
  std::vector<std::string> status;
  // Every progress report, in order; "text" when one came with it.
  std::vector<std::pair<unsigned long, std::string>> progress;

  std::vector<std::unique_ptr<pic_Item>> items;
  // "add <name>", "sort", "clear", in the order the calls came.
  std::vector<std::string> calls;
  // Called with each record as it is added, before the list takes it in.
  std::function<void(const pic_Item&)> on_add;

 private:
  GuardedBytes buffer_;
  uint16_t product_ = 0;
};

}  // namespace listing_test

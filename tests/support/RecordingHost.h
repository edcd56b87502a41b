// The program around the camera protocol, as the tests, the benchmarks and the fuzz targets
// stand it in: a camera buffer with nothing writable after it, a picture list that keeps its
// records in a vector sorted as the program's list sorts them, and a status window that
// records what it was told. The one CameraHost fake; a user that checks more derives from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "tests/support/GuardedBytes.h"

namespace testsupport {

class RecordingHost : public CameraHost {
 public:
  RecordingHost();  // installs itself
  ~RecordingHost() override;
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

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
  // "open <total> <text>" and "close" of the status window, in order (when `keep_log`).
  std::vector<std::string> status;
  // Every progress report, in order; "text" when one came with it (when `keep_log`).
  std::vector<std::pair<unsigned long, std::string>> progress;
  // The progress reports added up.
  uint64_t reported = 0;

  std::vector<std::unique_ptr<pic_Item>> items;
  // "add <name>", "sort", "clear", in the order the calls came (when `keep_log`).
  std::vector<std::string> calls;
  // Called with each record as it is added, before the list takes it in.
  std::function<void(const pic_Item&)> on_add;
  // Whether the calls are logged: a benchmark's host keeps only the records and the sum.
  bool keep_log = true;

 private:
  GuardedBytes buffer_;
  uint16_t product_ = 0;
};

}  // namespace testsupport

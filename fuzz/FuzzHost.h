// The program around the protocol, as the fuzz targets stand it in: the one host fake
// (tests/support/RecordingHost.h) with a picture list that checks every record it is given
// and keeps none, a status window that counts, and alerts that answer at once.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/Alert.h"
#include "tests/support/RecordingHost.h"

namespace fuzzsupport {

class FuzzHost : public testsupport::RecordingHost {
 public:
  // Installs itself as the camera host and answers every alert.
  FuzzHost();
  // Forgets the list, the status window and the product ID of the input before.
  void Reset();

  // A record must have a camera path and a thumbnail no larger than a thumbnail may be, and
  // a list must be cleared before its first record.
  void clear_list() override;
  void add_item(pic_Item* item) override;
  void sort_list() override {}
  // Must not open over an open one.
  void openstatus(uint64_t total, const char* text) override;
  void closestatus() override;
  void updatestatus(unsigned long delta, const char*) override { done_ += delta; }

  int Items() const { return items_; }
  bool StatusOpen() const { return status_open_; }
  uint64_t StatusTotal() const { return total_; }
  uint64_t StatusDone() const { return done_; }

 private:
  class QuietAlerts : public kit::AlertHandler {
   public:
    int Show(const kit::AlertRequest&) override { return 0; }
  };

  QuietAlerts alerts_;
  bool cleared_ = false;
  int items_ = 0;
  bool status_open_ = false;
  uint64_t total_ = 0;
  uint64_t done_ = 0;
};

}  // namespace fuzzsupport

#include "tests/camera/thumbs_host.h"

#include <algorithm>

namespace listing_test {

RecordingHost::RecordingHost() : buffer_(std::vector<uint8_t>(kCameraBufferSize)) {
  SetCameraHost(this);
}

RecordingHost::~RecordingHost() { SetCameraHost(nullptr); }

void RecordingHost::clear_list() {
  items.clear();
  calls.push_back("clear");
}

void RecordingHost::add_item(pic_Item* item) {
  if (on_add) on_add(*item);
  items.emplace_back(item);
  calls.push_back(std::string("add ") + item->GetName());
}

void RecordingHost::sort_list() {
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    const pic_Item* left = a.get();
    const pic_Item* right = b.get();
    return pic_compareFunc(&left, &right) < 0;
  });
  calls.push_back("sort");
}

}  // namespace listing_test

namespace listing_test {

void RecordingHost::openstatus(uint64_t total, const char* text) {
  status.push_back("open " + std::to_string(total) + " " + (text != nullptr ? text : ""));
}

void RecordingHost::closestatus() { status.push_back("close"); }

void RecordingHost::updatestatus(unsigned long delta, const char* text) {
  progress.emplace_back(delta, text != nullptr ? text : "");
}

}  // namespace listing_test

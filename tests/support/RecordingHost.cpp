#include "tests/support/RecordingHost.h"

#include <algorithm>

namespace testsupport {

RecordingHost::RecordingHost() : buffer_(std::vector<uint8_t>(kCameraBufferSize)) {
  SetCameraHost(this);
}

RecordingHost::~RecordingHost() { SetCameraHost(nullptr); }

void RecordingHost::clear_list() {
  items.clear();
  if (keep_log) calls.push_back("clear");
}

void RecordingHost::add_item(pic_Item* item) {
  if (on_add) on_add(*item);
  items.emplace_back(item);
  if (keep_log) calls.push_back(std::string("add ") + item->GetName());
}

void RecordingHost::sort_list() {
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    const pic_Item* left = a.get();
    const pic_Item* right = b.get();
    return pic_compareFunc(&left, &right) < 0;
  });
  if (keep_log) calls.push_back("sort");
}

void RecordingHost::openstatus(uint64_t total, const char* text) {
  if (keep_log)
    status.push_back("open " + std::to_string(total) + " " + (text != nullptr ? text : ""));
}

void RecordingHost::closestatus() {
  if (keep_log) status.push_back("close");
}

void RecordingHost::updatestatus(unsigned long delta, const char* text) {
  reported += delta;
  if (keep_log) progress.emplace_back(delta, text != nullptr ? text : "");
}

}  // namespace testsupport

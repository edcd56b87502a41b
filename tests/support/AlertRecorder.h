// Answers every alert without a window and remembers what it was asked.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "kit/Alert.h"

namespace testsupport {

class AlertRecorder : public kit::AlertHandler {
 public:
  // Installs itself; `answer` is the index of the button it presses.
  explicit AlertRecorder(int answer = 0) : answer_(answer) { kit::SetAlertHandler(this); }
  ~AlertRecorder() override { kit::SetAlertHandler(nullptr); }

  int Show(const kit::AlertRequest& request) override {
    std::lock_guard<std::mutex> guard(mutex_);
    requests_.push_back(request);
    return answer_;
  }

  std::vector<kit::AlertRequest> Requests() {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
  }
  // The texts of the alerts shown so far.
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const kit::AlertRequest& request : Requests()) texts.push_back(request.text);
    return texts;
  }
  void SetAnswer(int answer) {
    std::lock_guard<std::mutex> guard(mutex_);
    answer_ = answer;
  }

 private:
  std::mutex mutex_;
  int answer_;
  std::vector<kit::AlertRequest> requests_;
};

}  // namespace testsupport

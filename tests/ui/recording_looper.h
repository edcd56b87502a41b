// A looper that keeps every message sent to it, for windows aimed at it instead of the
// application.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "kit/Looper.h"
#include "kit/Messenger.h"
#include "ui/WindowTarget.h"

namespace uitest {

class RecordingLooper : public kit::Looper {
 public:
  RecordingLooper() { Run(); }
  // The thread ends before the members it records into.
  ~RecordingLooper() override { Quit(); }

  // For a window to send to this looper instead of the application.
  WindowTarget Target() const { return WindowTarget(kit::Messenger(*this)); }

  // Everything sent before this call, once handled: a marker behind it in the queue tells
  // when, so that "nothing was sent" needs no sleep.
  std::vector<kit::Message> Taken() {
    PostMessage(kit::Message(kMarker));
    std::unique_lock<std::mutex> lock(mutex_);
    if (marked_.wait_for(lock, std::chrono::seconds(5), [this] { return marks_ > 0; }))
      --marks_;
    else
      ADD_FAILURE() << "the looper did not get to the marker";
    return std::exchange(messages_, {});
  }

 protected:
  void MessageReceived(kit::Message* message) override {
    std::lock_guard<std::mutex> guard(mutex_);
    if (message->what == kMarker) {
      ++marks_;
      marked_.notify_all();
    } else {
      messages_.push_back(*message);
    }
  }

 private:
  static constexpr uint32_t kMarker = kit::FourCC("mark");

  std::mutex mutex_;
  std::condition_variable marked_;
  std::vector<kit::Message> messages_;
  int marks_ = 0;
};

}  // namespace uitest

// A real application object whose thread only records what the windows post to it. It is
// never started, so it opens no windows and watches no USB bus.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "app/ptv_App.h"
#include "tests/app/RecordingWindows.h"

namespace uitest {

// Built before the application, which keeps a reference to it.
struct WindowsForApp {
  apptest::RecordingWindows windows;
};

class RecordingApp : private WindowsForApp, public ptv_App {
 public:
  static constexpr uint32_t kMarker = kit::FourCC("mark");

  // Becomes the global application while it lives.
  RecordingApp() : ptv_App(windows, nullptr), previous_(app) {
    app = this;
    Run();
  }
  ~RecordingApp() override {
    app = previous_;
    Quit();
  }

  // Everything posted before this call, once the application has handled it; a marker that
  // follows it through the queue tells when.
  std::vector<kit::Message> Received() {
    PostMessage(kit::Message(kMarker));
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, std::chrono::seconds(5), [this] { return marked_; });
    marked_ = false;
    return std::exchange(messages_, {});
  }

 protected:
  void MessageReceived(kit::Message* message) override {
    std::lock_guard<std::mutex> guard(mutex_);
    if (message->what == kMarker) {
      marked_ = true;
      arrived_.notify_all();
    } else {
      messages_.push_back(*message);
    }
  }

 private:
  ptv_App* previous_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<kit::Message> messages_;
  bool marked_ = false;
};

}  // namespace uitest

#include "kit/Looper.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace kit {

Looper::Looper() : link_(std::make_shared<LooperLink>()) {
  link_->looper = this;
  wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

Looper::~Looper() {
  {
    std::lock_guard<std::mutex> guard(link_->mutex);
    link_->looper = nullptr;
  }
  Quit();
  if (wake_fd_ >= 0) close(wake_fd_);
}

void Looper::Run() {
  std::lock_guard<std::mutex> guard(queue_mutex_);
  if (running_ || quitting_) return;
  running_ = true;
  thread_ = std::thread(&Looper::Loop, this);
}

bool Looper::PostMessage(Message message) {
  {
    std::lock_guard<std::mutex> guard(queue_mutex_);
    if (quitting_) return false;
    queue_.push_back(std::move(message));
  }
  Wake();
  return true;
}

void Looper::Quit() {
  {
    std::lock_guard<std::mutex> guard(queue_mutex_);
    quitting_ = true;
  }
  Wake();
  if (InLooperThread()) return;
  if (thread_.joinable()) thread_.join();
}

bool Looper::IsRunning() const {
  std::lock_guard<std::mutex> guard(queue_mutex_);
  return running_ && !quitting_;
}

void Looper::AddReadSource(int fd, std::function<void()> readable) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  sources_.push_back({fd, std::move(readable)});
  Wake();
}

void Looper::RemoveReadSource(int fd) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  sources_.erase(std::remove_if(sources_.begin(), sources_.end(),
                                [fd](const Source& source) { return source.fd == fd; }),
                 sources_.end());
}

void Looper::MessageReceived(Message*) {}

void Looper::Wake() {
  uint64_t one = 1;
  if (write(wake_fd_, &one, sizeof one) < 0) {
    // The counter is saturated: the loop is awake already.
  }
}

bool Looper::TakeMessage(Message* message) {
  std::lock_guard<std::mutex> guard(queue_mutex_);
  if (queue_.empty()) return false;
  *message = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void Looper::Loop() {
  std::vector<pollfd> polled;
  std::vector<Source> ready;
  for (;;) {
    Message message;
    while (TakeMessage(&message)) {
      std::lock_guard<std::recursive_mutex> guard(lock_);
      MessageReceived(&message);
    }
    {
      std::lock_guard<std::mutex> guard(queue_mutex_);
      if (quitting_) return;
      if (!queue_.empty()) continue;
    }
    polled.assign(1, pollfd{wake_fd_, POLLIN, 0});
    {
      std::lock_guard<std::recursive_mutex> guard(lock_);
      for (const Source& source : sources_) polled.push_back({source.fd, POLLIN, 0});
    }
    if (poll(polled.data(), polled.size(), -1) < 0) continue;
    if (polled[0].revents & POLLIN) {
      uint64_t count;
      if (read(wake_fd_, &count, sizeof count) < 0) {
        // Another wake-up took it; nothing to do.
      }
    }
    std::lock_guard<std::recursive_mutex> guard(lock_);
    // A source may remove itself or others while it runs: call a snapshot, re-checked.
    ready.clear();
    for (size_t i = 1; i < polled.size(); i++) {
      if (polled[i].revents == 0) continue;
      for (const Source& source : sources_)
        if (source.fd == polled[i].fd) ready.push_back(source);
    }
    for (const Source& source : ready) {
      bool still_there = std::any_of(sources_.begin(), sources_.end(),
                                     [&](const Source& s) { return s.fd == source.fd; });
      if (still_there) source.readable();
    }
  }
}

}  // namespace kit

// Where a window's messages go: a looper it was given (tests aim windows at their own), else
// whichever application exists when the message is sent, so that a window or panel kept
// across the application's life never holds on to a stale one.
#pragma once

#include <optional>
#include <utility>

#include "kit/Messenger.h"
#include "ui/PostToApp.h"

class WindowTarget {
 public:
  // The application.
  WindowTarget() = default;
  explicit WindowTarget(kit::Messenger messenger) : messenger_(std::move(messenger)) {}

  void Send(kit::Message message) const {
    if (messenger_)
      messenger_->SendMessage(std::move(message));
    else
      PostToApp(std::move(message));
  }

 private:
  std::optional<kit::Messenger> messenger_;
};

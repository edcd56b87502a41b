// Addresses a looper; sending to a looper that is gone fails quietly.
#pragma once

#include <memory>

#include "kit/Looper.h"

namespace kit {

class Messenger {
 public:
  Messenger() = default;
  explicit Messenger(const Looper& target) : link_(target.Link()) {}

  bool IsValid() const;
  bool SendMessage(Message message) const;

 private:
  std::shared_ptr<LooperLink> link_;
};

}  // namespace kit

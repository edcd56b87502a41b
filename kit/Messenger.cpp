#include "kit/Messenger.h"

namespace kit {

bool Messenger::IsValid() const {
  if (!link_) return false;
  std::lock_guard<std::mutex> guard(link_->mutex);
  return link_->looper != nullptr;
}

bool Messenger::SendMessage(Message message) const {
  if (!link_) return false;
  std::lock_guard<std::mutex> guard(link_->mutex);
  return link_->looper != nullptr && link_->looper->PostMessage(std::move(message));
}

}  // namespace kit

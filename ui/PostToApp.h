// Windows answer the application with messages on its queue; before the application exists
// (or after it has gone) there is nobody to answer and the message is dropped.
#pragma once

#include <utility>

#include "app/ptv_App.h"
#include "kit/Message.h"

inline void PostToApp(kit::Message message) {
  if (app != nullptr) app->PostMessage(std::move(message));
}

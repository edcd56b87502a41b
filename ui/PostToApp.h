// Windows answer the application with messages on its queue; before the application exists
// (or after it has gone) there is nobody to answer and the message is dropped.
#pragma once

#include <utility>

#include "app/messages.h"
#include "app/ptv_App.h"
#include "kit/Message.h"

inline void PostToApp(kit::Message message) {
  if (app == nullptr) return;
  // A quit must not wait in the queue behind a download: it stops the run at once.
  if (message.what == kQuitRequested)
    app->QuitRequested();
  else
    app->PostMessage(std::move(message));
}

// Stops the application's download run at its next piece; nothing without an application.
inline void CancelAppRun() {
  if (app != nullptr) app->CancelRun();
}

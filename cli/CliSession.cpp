#include "cli/CliSession.h"

#include <chrono>
#include <thread>

CliSession::CliSession(CliWindows& windows) {
  application_ = std::make_unique<ptv_App>(windows, [] {});
  app = application_.get();
  app->Start();
  while (!windows.Created()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  // The start-up holds the looper's lock until it is over, the roster's first scan with it.
  Run([] {});
}

CliSession::~CliSession() {
  // The application thread and the roster end before the windows they report to.
  application_.reset();
  app = nullptr;
}

bool CliSession::CameraPresent() {
  // The camera becomes current only once its start-up, the listing included, is over.
  return application_->CurrentCamera() != nullptr;
}

void CliSession::Run(const std::function<void()>& work) {
  application_->Lock();
  work();
  application_->Unlock();
}

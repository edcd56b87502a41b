// The application running without widgets: started on the installed platform, its start-up
// waited for, and work run on the application thread in turn with its messages.
#pragma once

#include <functional>
#include <memory>

#include "app/ptv_App.h"
#include "cli/CliWindows.h"

class CliSession {
 public:
  // Starts the application and returns once its start-up is over: every camera present has
  // been examined and, when supported, its listing read.
  explicit CliSession(CliWindows& windows);
  ~CliSession();

  CliSession(const CliSession&) = delete;
  CliSession& operator=(const CliSession&) = delete;

  // Whether a supported camera is ready, its listing read.
  bool CameraPresent();
  // Runs the work on the application thread's turn: no message is handled meanwhile.
  void Run(const std::function<void()>& work);
  ptv_App& App() { return *application_; }

 private:
  std::unique_ptr<ptv_App> application_;
};

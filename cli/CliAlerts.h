// The application's alerts on the command line: said on standard error, answered with the
// button a dismissed alert presses, and counted, since each one is something that failed.
#pragma once

#include <atomic>
#include <cstdio>

#include "cli/Progress.h"
#include "kit/Alert.h"

class CliAlerts : public kit::AlertHandler {
 public:
  CliAlerts(Progress& progress, FILE* errors) : progress_(progress), errors_(errors) {}

  int Show(const kit::AlertRequest& request) override;
  int Count() const { return count_; }

 private:
  Progress& progress_;
  FILE* errors_;
  std::atomic<int> count_{0};
};

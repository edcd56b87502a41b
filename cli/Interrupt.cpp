#include "cli/Interrupt.h"

#include <csignal>

#include "app/ptv_App.h"

namespace {

volatile sig_atomic_t signal_number = 0;

void Stop(int number) {
  signal_number = number;
  // A store to a lock-free atomic: safe in a handler.
  if (app != nullptr) app->CancelRun();
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action = {};
  action.sa_handler = Stop;
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A closed terminal, too: what is whole is named and marked before the program ends.
  sigaction(SIGHUP, &action, nullptr);
}

int Interrupted() {
  return signal_number;
}

void RepeatCancel() {
  if (signal_number != 0 && app != nullptr) app->CancelRun();
}

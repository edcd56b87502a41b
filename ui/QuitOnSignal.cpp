#include "ui/QuitOnSignal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

#include "app/ptv_App.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipe_ends[2] = {-1, -1};

void Caught(int number) {
  // Only what is safe in a handler: a store to a lock-free atomic and a write. The rest
  // happens on the GUI thread.
  if (app != nullptr) app->CancelRun();
  unsigned char byte = uint8_t(number);
  ssize_t ignored = write(pipe_ends[1], &byte, 1);
  (void)ignored;
}

}  // namespace

QuitOnSignal::QuitOnSignal() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipe_ends) != 0) return;
  notifier_ = new QSocketNotifier(pipe_ends[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [] {
    unsigned char byte;
    while (read(pipe_ends[0], &byte, 1) == 1) {
    }
    if (app != nullptr) app->QuitRequested();
  });
  struct sigaction action = {};
  action.sa_handler = Caught;
  // A second signal ends the program at once, as one that will not stop would be expected to.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int number : kSignals) sigaction(number, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
  for (int number : kSignals) signal(number, SIG_DFL);
  delete notifier_;
  notifier_ = nullptr;
  for (int& end : pipe_ends) {
    if (end != -1) close(end);
    end = -1;
  }
}

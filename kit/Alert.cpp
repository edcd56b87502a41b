#include "kit/Alert.h"

#include <atomic>

namespace kit {

namespace {

std::atomic<AlertHandler*> handler{nullptr};
std::atomic<AlertHandler*> standard{nullptr};

}  // namespace

int EscapeAnswer(const AlertRequest& request) {
  return request.escape_button >= 0 ? request.escape_button : int(request.buttons.size()) - 1;
}

int ShowAlert(const AlertRequest& request) {
  AlertHandler* installed = handler.load();
  if (installed == nullptr) installed = standard.load();
  if (installed == nullptr) return int(request.buttons.size()) - 1;  // the default button
  return installed->Show(request);
}

void SetAlertHandler(AlertHandler* replacement) {
  handler.store(replacement);
}

void SetStandardAlertHandler(AlertHandler* replacement) {
  standard.store(replacement);
}

void SetGuiLoopEnded(bool ended) {
  if (AlertHandler* windows = standard.load()) windows->GuiLoopEnded(ended);
}

}  // namespace kit

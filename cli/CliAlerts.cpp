#include "cli/CliAlerts.h"

int CliAlerts::Show(const kit::AlertRequest& request) {
  count_++;
  progress_.Say("pictrove-cli: " + request.text, errors_);
  if (!request.detail.empty()) progress_.Say("pictrove-cli: " + request.detail, errors_);
  if (request.escape_button >= 0) return request.escape_button;
  return int(request.buttons.size()) - 1;
}

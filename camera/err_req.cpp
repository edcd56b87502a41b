#include "camera/err_req.h"

#include "kit/Alert.h"

void err_req(const char* text) {
  kit::AlertRequest request;
  request.title = "pictrove error";
  request.text = text;
  request.buttons = {"Ok"};
  request.icon = kit::AlertIcon::Warning;
  request.escape_button = 0;
  kit::ShowAlert(request);
}

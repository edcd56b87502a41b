#include "camera/err_req.h"

#include "kit/Alert.h"

namespace {

void Alert(const char* title, const char* text, kit::AlertIcon icon,
           const std::string& detail = {}) {
  kit::AlertRequest request;
  request.title = title;
  request.text = text;
  request.detail = detail;
  request.buttons = {"Ok"};
  request.icon = icon;
  request.escape_button = 0;
  kit::ShowAlert(request);
}

}  // namespace

void err_req(const char* text) {
  Alert("pictrove error", text, kit::AlertIcon::Warning);
}

void err_req(const char* text, const std::string& detail) {
  Alert("pictrove error", text, kit::AlertIcon::Warning, detail);
}

void info_req(const char* text) {
  Alert("pictrove", text, kit::AlertIcon::Info);
}

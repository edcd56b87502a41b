#include "models/ModelFiles.h"

#include <cstdio>

#include "models/CameraModels.h"

namespace models {

namespace {

std::string Hex4(uint16_t value, const char* format) {
  char text[8];
  snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string UdevRule() {
  std::string products;
  for (const CameraModel& model : AllModels())
    products += (products.empty() ? "" : "|") + Hex4(model.product, "%04x");
  return "# Lets the user logged in at the seat open the supported cameras' USB nodes.\n"
         "# Made from the model table (models/CameraModels.cpp): pictrove-models udev\n"
         "# Install: sudo cp 60-pictrove.rules /etc/udev/rules.d/ && sudo udevadm control "
         "--reload\n"
         "SUBSYSTEM!=\"usb\", GOTO=\"pictrove_end\"\n"
         "ENV{DEVTYPE}!=\"usb_device\", GOTO=\"pictrove_end\"\n"
         "ATTR{idVendor}!=\"" +
         Hex4(kCanonVendor, "%04x") + "\", GOTO=\"pictrove_end\"\n" + "ATTR{idProduct}==\"" +
         products + "\", MODE=\"0660\", TAG+=\"uaccess\"\n" + "LABEL=\"pictrove_end\"\n";
}

std::string ReadmeModelList() {
  std::string list;
  for (const CameraModel& model : AllModels())
    list += "- " + Hex4(model.product, "0x%04X") + " " + model.name + "\n";
  return list;
}

std::string Modaliases() {
  std::string lines;
  for (const CameraModel& model : AllModels())
    lines += "usb:v" + Hex4(kCanonVendor, "%04X") + "p" + Hex4(model.product, "%04X") + "d*\n";
  return lines;
}

}  // namespace models

// The files made from the model table: the udev rule, the README's list of models and the
// USB modaliases a package's metadata names. A test holds the checked-in copies to them;
// pictrove-models prints them.
#pragma once

#include <string>

namespace models {

// packaging/60-pictrove.rules, whole.
std::string UdevRule();
// The README's list: one line a model, "- 0x3041 PowerShot S10".
std::string ReadmeModelList();
// One line a model, "usb:v04A9p3041d*", as AppStream's <modalias> takes them.
std::string Modaliases();

}  // namespace models

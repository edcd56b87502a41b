#include "models/CameraModels.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace models {

namespace {

constexpr Group k1 = Group::kFirst;
constexpr Group k2 = Group::kSecond;

// Sorted by product ID.
constexpr CameraModel kModels[] = {
    {0x3041, "PowerShot S10", k1},
    {0x3043, "PowerShot S20", k1},
    {0x3045, "PowerShot S100", k1},
    {0x3046, "IXY DIGITAL", k1},
    {0x3047, "PowerShot S110", k1},
    {0x3048, "PowerShot G1", k1},
    {0x3049, "DIGITAL IXUS", k1},
    {0x304A, "PowerShot Pro90 IS", k1},
    {0x304B, "IXY DIGITAL 300", k1},
    {0x304C, "PowerShot S300 / Digital IXUS 300", k2},
    {0x304D, "IXY DIGITAL 200", k1},
    {0x304E, "PowerShot A10", k2},
    {0x304F, "PowerShot A20", k2},
    {0x3050, "PowerShot A5", k1},
    {0x3051, "PowerShot A5 Zoom", k1},
    {0x3052, "PowerShot A50", k1},
    {0x3055, "PowerShot G2", k2},
    {0x3056, "PowerShot S40", k2},
    {0x3057, "PowerShot S30", k2},
    {0x3058, "PowerShot A40", k2},
    {0x3059, "PowerShot A30", k2},
    {0x3061, "PowerShot A100", k2},
    {0x3062, "PowerShot A200", k2},
    {0x3065, "PowerShot S200 / Digital IXUS v2", k1},
    {0x3066, "PowerShot S330 / Digital IXUS 330", k2},
    {0x3071, "Digital IXUS v", k1},
    {0x3073, "PowerShot A70", k2},
    {0x3074, "PowerShot A60", k2},
    {0x3075, "PowerShot S400 / Digital IXUS 400", k2},
    {0x3076, "PowerShot A300", k2},
    {0x30B5, "PowerShot A75", k2},
    {0x30B6, "PowerShot SD110 / Digital IXUS IIs", k2},
    {0x30C2, "PowerShot A510", k2},
};

static_assert(std::is_sorted(std::begin(kModels), std::end(kModels),
                             [](const CameraModel& a, const CameraModel& b) {
                               return a.product < b.product;
                             }));

}  // namespace

std::span<const CameraModel> AllModels() {
  return kModels;
}

const CameraModel* FindModel(uint16_t product) {
  for (const CameraModel& model : kModels)
    if (model.product == product) return &model;
  return nullptr;
}

std::string IdentificationText(const CameraModel& model) {
  std::string name = model.name;
  return "Canon " + name.substr(0, name.find(" / "));
}

std::string UnreadableCameraText(uint16_t product) {
  char text[200];
  snprintf(text, sizeof text,
           "The Canon camera with product ID 0x%04X does not speak the protocol pictrove knows "
           "(many later models speak PTP and are read by other programs).",
           product);
  return text;
}

}  // namespace models

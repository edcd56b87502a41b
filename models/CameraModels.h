// The cameras pictrove reads: their USB product IDs (vendor 0x04A9), the names they are sold
// under, and which of the two groups of the command set's speakers each belongs to. pictrove
// sends every model the same commands; the groups differ in what other clients send them
// at the start of a session.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace models {

constexpr uint16_t kCanonVendor = 0x04A9;

// The first models answer only the commands pictrove sends; the second group's also answer
// the "picture abilities" and "lock keys" commands that other clients send at start.
enum class Group { kFirst = 1, kSecond = 2 };

struct CameraModel {
  uint16_t product;
  const char* name;  // as sold; two names joined by " / " where it sold under both
  Group group;
};

// Every model, by product ID.
std::span<const CameraModel> AllModels();
// The model of that product ID, or none.
const CameraModel* FindModel(uint16_t product);

// What the camera's identification reply names it: "Canon " and the first of its names.
std::string IdentificationText(const CameraModel& model);

// The line said when a Canon device of a product ID not in the table is plugged in.
std::string UnreadableCameraText(uint16_t product);

}  // namespace models

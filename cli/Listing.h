// What list and info print: text for people, JSON for programs.
#pragma once

#include <string>
#include <vector>

#include "camera/CameraHost.h"
#include "cli/Pictures.h"

// The camera's clock, as the window shows it: "2003-05-17 14:02:11".
std::string DateText(uint32_t date);
std::string PicturesText(const std::vector<Picture>& pictures);
std::string PicturesJson(const std::vector<Picture>& pictures);
std::string FactsText(const CameraFacts& facts);
std::string FactsJson(const CameraFacts& facts);

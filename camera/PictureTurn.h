// Turning a downloaded picture upright with the external jpegtran command.
#pragma once

#include <string>

class pic_Item;

// Has jpegtran write the turned picture from the complete work file to `name`; on success
// the turned file gets its type and attributes and the work file goes. When jpegtran is
// missing or fails, or `name` has been taken meanwhile, the work file stays as the picture.
void TurnPicture(const std::string& name, const std::string& work, pic_Item* picture);

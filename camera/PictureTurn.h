// Turning a downloaded picture upright with the external jpegtran command, and committing it.
#pragma once

#include <string>

#include "camera/PictureFile.h"

class pic_Item;

// The angle jpegtran turns a picture stored in this orientation (one that needs a turn) by,
// clockwise.
const char* TurnAngle(unsigned long orientation);

// Commits the complete downloaded picture `download` under `name`, turned upright as the
// record's orientation asks. jpegtran writes the turned picture, with every marker segment
// of the camera's file but its partial edge blocks, to a hidden file of its own in the same
// folder; there its EXIF block is made to say it stands upright, and it gets its type and
// its attributes with the size it has. That file is committed as any download is, with the
// digest of what it holds once mended. When it cannot be made, the downloaded picture is
// committed as the camera stored it, and one line on standard error says why. No hidden
// file stays either way. The line that tells of the turn is the caller's, said with the
// picture's other lines.
Committed CommitTurnedPicture(PictureFile& download, const std::string& name, pic_Item* picture);

// Turning a downloaded picture upright with the external jpegtran command, and naming it.
#pragma once

#include <string>

class PictureFile;
class pic_Item;

// The angle jpegtran turns a picture stored in this orientation (one that needs a turn) by,
// clockwise.
const char* TurnAngle(unsigned long orientation);

// Gives the complete downloaded picture `download` the name `name`, turned upright as the
// record's orientation asks. jpegtran writes the turned picture, with every marker segment
// of the camera's file but its partial edge blocks, to a hidden file of its own; there its
// EXIF block is made to say it stands upright, and it gets its type and its attributes
// with the size it has. It takes the name only when all of that succeeded; otherwise the
// downloaded picture takes it, as the camera stored it, and one line on standard error
// says why. 0, or the reason the name could not be given (EEXIST: it has been taken
// meanwhile); no hidden file stays either way. The line that tells of the turn is the
// caller's, said with the picture's other lines.
int NameTurnedPicture(PictureFile& download, const std::string& name, pic_Item* picture);

// Downloading one picture into a file of the current directory.
#pragma once

#include <cstdint>

class PictureTurns;
class USBDevice;
class pic_Item;

// What became of a picture asked for: failed (shown to the user), complete under its name,
// or complete and handed to the turns, which name it later.
enum class Fetched { kFailed, kNamed, kTurning };

// Asks the camera for the picture and writes its data to a hidden file of the current folder.
// The complete file takes the picture's name at once, or, when its orientation asks for a
// turn, goes to `turns` with `key` and the picture's facts.
Fetched GetPicture(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture,
                   PictureTurns& turns, uint64_t key);

// Whether a turned picture got its name; when not, says why as any other download would.
bool TurnNamed(int error);

// The same, waiting for the turn: true when the picture's data is completely in its file,
// turned or not; after any failure, which has been shown to the user, false.
bool ixus_getfile(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture);

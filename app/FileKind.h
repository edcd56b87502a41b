// What a file on the camera's card is, told by its name: the listing gives nothing else.
#pragma once

enum class FileKind {
  kPicture,    // a JPEG picture: a name longer than 4 characters ending in ".JPG"
  kRaw,        // ".CRW"
  kMovie,      // ".AVI"
  kSound,      // ".WAV": a sound note, or a recording of its own
  kThumbnail,  // ".THM": a small JPEG with EXIF that stands for a raw picture or movie
  kOther,      // any other name, lower-case ".jpg" included
};

// The new kinds match in any case; pictures only as cameras name them.
FileKind KindOf(const char* name);

// What a row says of its kind where a picture's orientation label stands: empty for a
// picture.
const char* KindLabel(FileKind kind);
// The kind's word for the command line and other programs: "picture", "raw", "movie",
// "sound", "thumbnail", "other".
const char* KindWord(FileKind kind);

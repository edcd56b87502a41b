#include "app/FileKind.h"

#include <strings.h>

#include <cstring>

namespace {

bool EndsWithAnyCase(const char* name, const char* ending) {
  size_t length = strlen(name);
  size_t tail = strlen(ending);
  return length > tail && strcasecmp(name + length - tail, ending) == 0;
}

}  // namespace

FileKind KindOf(const char* name) {
  size_t length = strlen(name);
  if (length > 4 && strcmp(name + length - 4, ".JPG") == 0) return FileKind::kPicture;
  if (EndsWithAnyCase(name, ".CRW")) return FileKind::kRaw;
  if (EndsWithAnyCase(name, ".AVI")) return FileKind::kMovie;
  if (EndsWithAnyCase(name, ".WAV")) return FileKind::kSound;
  if (EndsWithAnyCase(name, ".THM")) return FileKind::kThumbnail;
  return FileKind::kOther;
}

const char* KindLabel(FileKind kind) {
  switch (kind) {
    case FileKind::kPicture:
      return "";
    case FileKind::kRaw:
      return "(Raw)";
    case FileKind::kMovie:
      return "(Movie)";
    case FileKind::kSound:
      return "(Sound)";
    case FileKind::kThumbnail:
    case FileKind::kOther:
      break;
  }
  return "(File)";
}

const char* KindWord(FileKind kind) {
  static const char* const words[] = {"picture", "raw", "movie", "sound", "thumbnail", "other"};
  return words[int(kind)];
}

// A picture's full path on the camera, drive and folders separated by backslashes, as it is
// built while the listing is walked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct ixus_direntry;

class CameraPath {
 public:
  // The camera takes paths of at most this many characters.
  static constexpr size_t kMaxLength = 255;

  // Follows one listing entry by its name and size: a drive replaces the path, a folder is
  // appended, ".." leaves the current folder; only entries of size 0 do any of this, as only
  // they are drives or folders. An entry can be more than one of these. True when the entry
  // was a drive or folder entry.
  bool Follow(const char* name, uint32_t size);

  // Whether a file entry's name can be the last part of a camera path and a file's name:
  // no backslash, slash, colon or control character, and not "." or "..".
  static bool IsFileName(const char* name);

  // Appends "\" and the name, and takes it off again.
  void EnterFile(const char* name);
  void LeaveFile() { CutLast(); }

  const std::string& Text() const { return text_; }
  bool TooLong() const { return text_.size() > kMaxLength; }

 private:
  // Cuts at the last backslash, never into the drive name.
  void CutLast();

  std::string text_;
  size_t drive_ = 0;  // length of the drive name at the front
};

// Walks a listing and calls `file` with every file entry (whatever is not a drive or folder
// entry) and its camera path. A file whose name cannot be a file's, or whose path is too long
// for the camera, is passed over with a line on standard error.
void ixus_walkfiles(const ixus_direntry* first,
                    const std::function<void(const ixus_direntry* entry, const char* path)>& file);

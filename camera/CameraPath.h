// A picture's full path on the camera, drive and folders separated by backslashes, as it is
// built while the listing is walked.
#pragma once

#include <cstddef>
#include <string>

class CameraPath {
 public:
  // The camera takes paths of at most this many characters.
  static constexpr size_t kMaxLength = 255;

  // Follows one listing entry by its name: a drive replaces the path, a folder is appended,
  // ".." leaves the current folder. An entry can be more than one of these.
  void Follow(const char* name);

  // Pictures are the entries whose name is longer than 4 characters and ends in ".JPG".
  static bool IsPicture(const char* name);

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

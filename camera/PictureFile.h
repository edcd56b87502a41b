// A downloaded picture's file while it is being written: the data goes to a hidden file of
// its own in the current folder, which takes the picture's name only once it is complete,
// never replacing a file, and is removed on every other path.
#pragma once

#include <cstddef>
#include <string>

class PictureFile {
 public:
  PictureFile() = default;
  ~PictureFile();  // closes it, and removes it unless it was named

  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  // Creates the hidden file: 0, or the reason it could not be made.
  int Create();
  int Fd() const { return fd_; }
  // The hidden file's name in the current folder, for a program to be given; empty once named.
  const std::string& Hidden() const { return hidden_; }
  // Gives the complete file its name: 0, or the reason it could not have it (EEXIST: a file
  // of that name exists). The hidden file is gone afterwards either way.
  int Name(const std::string& name);

 private:
  std::string hidden_;
  int fd_ = -1;
};

// Whether the current folder has nothing of that name, not even a link to nowhere: 0 when
// it is free, EEXIST when it is taken, else the reason it could not be told.
int NameState(const std::string& name);

// Writes all `length` bytes, taking short writes as what they wrote: 0, or the reason.
int WriteAll(int fd, const unsigned char* data, size_t length);

// A downloaded file while it is being written: the data goes to a hidden work file of its
// own in the download folder, locked while it exists, and takes its real name only once it
// is on the disk and reads back as it was sent. Never replacing a file; removed on every
// other path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "camera/FileDigest.h"

class DownloadFolder;

// How a commit ended: 0, or the reason, and whether it was the naming that failed (the name
// taken: EEXIST) rather than the writing.
struct Committed {
  int error = 0;
  bool naming = false;
};

// The alert for a commit that failed.
const char* CommitFailure(const Committed& committed);

class PictureFile {
 public:
  // The folder must outlive the file.
  explicit PictureFile(const DownloadFolder& folder) : folder_(folder) {}
  ~PictureFile();  // closes it, and removes it unless it was named

  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  // Creates the hidden file: 0, or the reason it could not be made.
  int Create();
  int Fd() const { return fd_; }
  const DownloadFolder& Folder() const { return folder_; }
  // The hidden file's path, for a program to be given; empty once named.
  std::string HiddenPath() const;
  // Writes at the file's end, keeping the digest of all that was appended: 0, or the reason.
  int Append(const unsigned char* data, size_t length);
  uint64_t Digest() const { return digest_.Value(); }

  // Makes the complete file durable under `name`: its digest kept as an attribute, its data
  // flushed, dropped from the cache and read back against `digest`, the file closed, named
  // without replacing anything and the folder flushed. After any failure nothing stands
  // under the name that was not there before, and the hidden file is gone.
  Committed Commit(const std::string& name, uint64_t digest);
  Committed Commit(const std::string& name) { return Commit(name, Digest()); }

 private:
  int Name(const std::string& name);

  const DownloadFolder& folder_;
  std::string hidden_;
  int fd_ = -1;
  FileDigest digest_;
};

// Whether the download folder has nothing of that name that a download must keep: 0 when it
// is free (an empty file is what a download cut off while naming leaves, and is free), EEXIST
// when it is taken, else the reason it could not be told.
int NameState(int folder, const std::string& name);

// Whether an attribute could not be written for a reason that endangers the file: a file
// system that keeps no attributes at all is no reason to fail a download.
bool AttributeFailed(int error);

// Writes all `length` bytes, taking short writes as what they wrote: 0, or the reason.
int WriteAll(int fd, const unsigned char* data, size_t length);

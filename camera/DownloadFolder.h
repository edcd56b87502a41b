// The folder a download run writes into, held open for the run: every file is made, named and
// flushed relative to it, so the run never needs it as its current folder, and once the run
// is over nothing of the program keeps the drive busy.
#pragma once

#include <string>

class DownloadFolder {
 public:
  DownloadFolder() = default;
  ~DownloadFolder();  // closes the folder

  DownloadFolder(const DownloadFolder&) = delete;
  DownloadFolder& operator=(const DownloadFolder&) = delete;

  // Opens the folder at `path`, following links: 0, or the reason it cannot be written into.
  // Work files that an ended download left in it are removed.
  int Open(const std::string& path);
  int Fd() const { return fd_; }
  // The folder's path as it was opened, for programs that are given files inside it.
  const std::string& Path() const { return path_; }
  // The path of `name` inside the folder.
  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
  // Makes the folder's entries durable: 0, or the reason they may not be.
  int Flush() const;
  // Removes a file this run named, durably: for a row whose other files failed.
  void Unname(const std::string& name) const;

 private:
  int fd_ = -1;
  std::string path_;
};

// The prefix of every work file a download makes; nothing else in a folder is ever removed.
extern const char kWorkFilePrefix[];

// Removes from the folder the work files no running download holds: what a download killed
// or cut off by a power loss left behind. How many were removed.
int RemoveLeftWorkFiles(int folder);

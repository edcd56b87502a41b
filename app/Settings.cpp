#include "app/Settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "kit/Settings.h"

std::string SettingsFilePath() {
  std::string folder = kit::UserSettingsDirectory();
  return folder.empty() ? folder : folder + "/" + kSettingsFileName;
}

void WriteDownloadFolder(const std::string& folder) {
  std::string directory = kit::UserSettingsDirectory();
  if (directory.empty()) return;
  // A fresh account may have no settings folder yet.
  mkdir(directory.c_str(), 0700);
  std::string path = SettingsFilePath();
  // Written beside and renamed over, so that a failed write keeps the previous file.
  std::string work = path + ".new";
  FILE* file = fopen(work.c_str(), "w");
  if (file == nullptr) return;
  bool written = fprintf(file, "%s\n", folder.c_str()) >= 0;
  written = fclose(file) == 0 && written;
  if (!written || rename(work.c_str(), path.c_str()) != 0) unlink(work.c_str());
}

std::string ReadDownloadFolder() {
  std::string path = SettingsFilePath();
  if (path.empty()) return path;
  FILE* file = fopen(path.c_str(), "r");
  if (file == nullptr) return std::string();
  char line[1024];
  bool read = fgets(line, sizeof line, file) != nullptr;
  fclose(file);
  if (!read) return std::string();
  // The last character is the newline written after the path.
  size_t length = strlen(line);
  if (length > 0) line[length - 1] = '\0';
  return line;
}

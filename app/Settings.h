// The one settings file: the last folder pictures were downloaded into.
#pragma once

#include <string>

constexpr char kSettingsFileName[] = "x-vnd.morv-pictrove";

// The settings file's path, or the empty text without a settings folder.
std::string SettingsFilePath();

// Replaces the file's content with the folder's path and a newline; failures change nothing.
void WriteDownloadFolder(const std::string& folder);

// The folder last written, or the empty text.
std::string ReadDownloadFolder();

// The second line of an alert about a picture's download: which picture and folder it
// concerns, and what the user can do about it.
#pragma once

#include <string>

// For the alert `alert` shown about the picture `name` and the download folder `folder`.
std::string DownloadAdvice(const std::string& alert, const std::string& name,
                           const std::string& folder);

// What to do when the camera does not answer.
extern const char kCheckTheCamera[];

// Shows the error alert with that second line.
void DownloadAlert(const char* alert, const std::string& name, const std::string& folder);

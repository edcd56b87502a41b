#include "camera/DownloadAdvice.h"

#include "camera/CameraHost.h"
#include "camera/err_req.h"

const char kCheckTheCamera[] =
    "Check the cable and that the camera is on and in playback mode, then try again.";

void DownloadAlert(const char* alert, const std::string& name, const std::string& folder) {
  err_req(alert, DownloadAdvice(alert, name, folder));
}

std::string DownloadAdvice(const std::string& alert, const std::string& name,
                           const std::string& folder) {
  if (alert == "The file already exists.")
    return name + " is already in " + folder + ". Choose another folder, or " +
           Host().SkipExistingHint() + ".";
  if (alert == "The volume is full.")
    return name + " did not fit in " + folder +
           ". Free some space on the drive, or choose another folder, then download it again.";
  if (alert == "Could not write to the file." || alert == "Could not create the file.")
    return name + " could not be saved in " + folder +
           ". Check that the drive is still attached and writable, then download it again.";
  // The camera's side: a transfer, a reply or the camera itself.
  return name + " was not downloaded into " + folder +
         ". Check the cable and that the camera is on and in playback mode, then download it "
         "again.";
}

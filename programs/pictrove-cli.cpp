// pictrove for scripts: the window's operations, printed instead of shown. On this machine's
// USB, or with --demo on a simulated camera (its own card, or the files of a folder that a
// camera could have written).
#include <sys/stat.h>

#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "cli/Interrupt.h"
#include "cli/RunCli.h"
#include "cli/WindowCheck.h"
#include "kit/Platform.h"
#include "sim/DemoPace.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"

namespace {

// A folder given for the demo camera that is not one, or holds no file for it, is a usage
// error: a script would otherwise go on as if the camera were empty. -1 when installed,
// else the exit status.
int InstallDemo(const CliOptions& options) {
  auto platform = std::make_shared<sim::SimPlatform>();
  auto camera = std::make_shared<sim::SimCamera>(sim::kDefaultCameraProduct);
  const std::string& folder = options.demo_folder;
  struct stat status;
  if (!folder.empty() && (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))) {
    fprintf(stderr, "pictrove-cli: --demo %s: no such folder\n", folder.c_str());
    return 2;
  }
  size_t files = folder.empty() ? camera->LoadGenerated() : camera->LoadFolder(folder);
  if (files == 0) {
    fprintf(stderr,
            "pictrove-cli: --demo %s: the folder holds no JPEG pictures and no other file with "
            "a camera's name\n",
            folder.c_str());
    return 2;
  }
  sim::PaceFromEnvironment(*camera, "pictrove-cli");
  platform->Bus().Plug("/dev/bus/usb/001/002", camera);
  kit::InstallPlatform(platform);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  CliOptions options;
  std::string error;
  bool parsed = ParseOptions(arguments, &options, &error);
  if (int status = AnswerWithoutCamera(options, parsed, error); status >= 0) return status;
  if (options.demo) {
    if (int status = InstallDemo(options); status >= 0) return status;
  } else {
    // Two programs driving one camera would spoil each other's transfers.
    if (WindowRunning()) {
      fprintf(stderr,
              "pictrove-cli: the pictrove window is running and has the camera; quit it first\n");
      return 1;
    }
    kit::InstallPlatform(kit::MakeHostPlatform());
  }
  FILE* errors = QuietenDiagnostics();
  InstallInterruptHandlers();
  return RunCli(options, stdout, errors);
}

// pictrove for scripts: the window's operations, printed instead of shown. On this machine's
// USB, or with --demo on a simulated camera (its own pictures, or a folder's JPEG files).
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/Interrupt.h"
#include "cli/RunCli.h"
#include "cli/WindowCheck.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"

namespace {

// PICTROVE_DEMO_PACE (bytes a second) paces the simulated camera's bulk data as a slow bus
// would: what lets a user, or a test, interrupt a picture halfway.
void InstallDemo(const CliOptions& options) {
  auto platform = std::make_shared<sim::SimPlatform>();
  auto camera = std::make_shared<sim::SimCamera>(sim::kDefaultCameraProduct);
  size_t pictures = options.demo_folder.empty() ? camera->LoadGenerated()
                                                : camera->LoadFolder(options.demo_folder);
  if (pictures == 0) fprintf(stderr, "pictrove-cli: the demo camera holds no pictures\n");
  if (const char* pace = getenv("PICTROVE_DEMO_PACE"))
    camera->PaceBulk(strtoull(pace, nullptr, 10));
  platform->Bus().Plug("/dev/bus/usb/001/002", camera);
  kit::InstallPlatform(platform);
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
    InstallDemo(options);
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

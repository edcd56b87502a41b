#include "cli/RunCli.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "cli/Commands.h"
#include "cli/Interrupt.h"

namespace {

using Command = int (*)(CommandContext&);

const std::map<std::string, Command> kCommandTable = {
    {"list", ListPictures},     {"get", GetPictures}, {"mark", MarkPictures},
    {"delete", DeletePictures}, {"info", ShowInfo},   {"owner", SetOwner},
    {"upload", UploadFile},     {"clock", ShowClock},
};

// Without a camera to work on: why, when a Canon camera that cannot be read was found.
int NoCamera(CliWindows& windows, FILE* errors) {
  std::string unreadable = windows.Unreadable();
  fprintf(errors, "pictrove-cli: %s\n",
          unreadable.empty() ? "no camera found" : unreadable.c_str());
  return 1;
}

// A camera that cannot be read ends the wait: it will not become one that can.
int WaitForCamera(CliSession& session, CliWindows& windows, FILE* errors) {
  while (!session.CameraPresent() && windows.Unreadable().empty() && Interrupted() == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return session.CameraPresent() || Interrupted() != 0 ? 0 : NoCamera(windows, errors);
}

}  // namespace

int AnswerWithoutCamera(const CliOptions& options, bool parsed, const std::string& error) {
  if (!parsed) {
    fprintf(stderr, "pictrove-cli: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (options.help) {
    fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    puts("pictrove-cli " PICTROVE_VERSION);
    return 0;
  }
  return -1;
}

FILE* QuietenDiagnostics() {
  int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  FILE* errors = saved >= 0 ? fdopen(saved, "w") : nullptr;
  if (errors == nullptr) return stderr;
  setvbuf(errors, nullptr, _IOLBF, 0);
  if (getenv("PICTROVE_CLI_DIAGNOSTICS") != nullptr) return errors;
  int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    dup2(null, STDERR_FILENO);
    close(null);
  }
  return errors;
}

int RunCli(const CliOptions& options, FILE* out, FILE* errors) {
  Progress progress(out, isatty(fileno(out)));
  CliAlerts alerts(progress, errors);
  kit::SetAlertHandler(&alerts);
  int status = 0;
  {
    CliWindows windows(progress);
    CliSession session(windows);
    if (options.command == "wait") {
      status = WaitForCamera(session, windows, errors);
    } else if (!session.CameraPresent()) {
      status = NoCamera(windows, errors);
    } else if (Interrupted() == 0) {  // stopped while the camera was being read: nothing more
      CommandContext context{options, session, windows, progress, alerts, out, errors};
      status = kCommandTable.at(options.command)(context);
    }
  }
  kit::SetAlertHandler(nullptr);
  if (Interrupted() != 0) return 128 + Interrupted();
  return status == 0 && alerts.Count() == 0 ? 0 : 1;
}

// Test harness: runs a command (under dbus-run-session) against an emulated camera on the
// real usbfs path.
//   pictrove-umockdev [--absent] [--locked] [--large BYTES] [--pace BYTES_PER_SECOND]
//                     [--product 0xNNNN] [--pictures N] [--export FOLDER] -- COMMAND...
// --absent: no camera at start. --locked: the camera's node cannot be opened until
// granted. --large: one more picture of that size. --pace: bulk data at most that fast.
// --product: the model the camera is (its product ID, name and behaviour), by default
// the simulated camera's own. --pictures: only the first N of the camera's files.
// --export: the camera's pictures are written there before the command starts.
// The command finds in PICTROVE_TESTBED_CONTROL a FIFO that takes one request a line:
// "plug", "plug locked", "grant", "unplug", "report FILE" (see CameraReport.h).
#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sim/GeneratedPicture.h"
#include "sim/usbfs/CameraTestbed.h"
#include "sim/usbfs/MockEnvironment.h"
#include "tests/realstack/harness/CameraReport.h"

namespace {

struct Options {
  bool absent = false;
  bool locked = false;
  long long large = 0;
  long long pace = 0;
  long product = sim::kDefaultCameraProduct;
  long pictures = -1;  // all of them
  std::string export_folder;
  std::vector<char*> command;
};

[[noreturn]] void Usage() {
  fputs(
      "usage: pictrove-umockdev [--absent] [--locked] [--large BYTES] [--pace BYTES_PER_SECOND]"
      " [--product 0xNNNN] [--pictures N] [--export FOLDER] -- COMMAND...\n",
      stderr);
  exit(2);
}

Options Parse(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
    bool has_value = i + 1 < argc;
    if (strcmp(argv[i], "--absent") == 0)
      options.absent = true;
    else if (strcmp(argv[i], "--locked") == 0)
      options.locked = true;
    else if (strcmp(argv[i], "--large") == 0 && has_value)
      options.large = atoll(argv[++i]);
    else if (strcmp(argv[i], "--pace") == 0 && has_value)
      options.pace = atoll(argv[++i]);
    else if (strcmp(argv[i], "--product") == 0 && has_value)
      options.product = strtol(argv[++i], nullptr, 16);
    else if (strcmp(argv[i], "--pictures") == 0 && has_value)
      options.pictures = atol(argv[++i]);
    else if (strcmp(argv[i], "--export") == 0 && has_value)
      options.export_folder = argv[++i];
    else
      Usage();
  }
  if (i + 1 >= argc || options.large < 0 || options.large > UINT32_MAX || options.pace < 0 ||
      options.product <= 0 || options.product > UINT16_MAX || options.pictures < -1)
    Usage();
  options.command.push_back(const_cast<char*>("dbus-run-session"));
  options.command.push_back(const_cast<char*>("--"));
  for (++i; i < argc; ++i) options.command.push_back(argv[i]);
  options.command.push_back(nullptr);
  return options;
}

struct Run {
  std::shared_ptr<sim::SimCamera> camera;
  sim::CameraTestbed* testbed = nullptr;
  GMainLoop* loop = nullptr;
  std::string control_folder;
  std::string pending;  // control requests read but not yet ended by a newline
  int status = 0;
};

void WriteReport(const Run& run, const std::string& file) {
  std::string report = realstack::CameraReport(*run.camera);
  std::string partial = file + ".partial";
  // Renamed into place, so that a script polling for the file never reads half of it.
  if (!g_file_set_contents(partial.c_str(), report.data(), gssize(report.size()), nullptr) ||
      rename(partial.c_str(), file.c_str()) != 0)
    fprintf(stderr, "harness: could not write the report %s\n", file.c_str());
}

void Obey(Run& run, const std::string& request) {
  if (request == "plug")
    run.testbed->Plug();
  else if (request == "plug locked")
    run.testbed->Plug(true);
  else if (request == "grant")
    run.testbed->Grant();
  else if (request == "unplug")
    run.testbed->Unplug();
  else if (request.starts_with("report "))
    WriteReport(run, request.substr(7));
  else
    fprintf(stderr, "harness: unknown request \"%s\"\n", request.c_str());
}

gboolean ReadControl(gint fd, GIOCondition, gpointer data) {
  auto* run = static_cast<Run*>(data);
  char buffer[512];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) run->pending.append(buffer, size_t(got));
  for (size_t end; (end = run->pending.find('\n')) != std::string::npos;) {
    std::string request = run->pending.substr(0, end);
    run->pending.erase(0, end + 1);
    Obey(*run, request);
  }
  return G_SOURCE_CONTINUE;
}

// The FIFO is held open for writing by the harness itself, so that a writer closing it
// never leaves the reading end at end-of-file.
void OpenControl(Run& run) {
  gchar* folder = g_dir_make_tmp("pictrove-testbed-XXXXXX", nullptr);
  if (folder == nullptr) exit(2);
  run.control_folder = folder;
  g_free(folder);
  std::string control = run.control_folder + "/control";
  if (mkfifo(control.c_str(), 0600) != 0) {
    perror("mkfifo");
    exit(2);
  }
  int reader = open(control.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  int writer = open(control.c_str(), O_WRONLY | O_CLOEXEC);
  if (reader < 0 || writer < 0) {
    perror("control FIFO");
    exit(2);
  }
  g_unix_fd_add(reader, G_IO_IN, ReadControl, &run);
  setenv("PICTROVE_TESTBED_CONTROL", control.c_str(), 1);
}

void Finished(GPid pid, gint status, gpointer data) {
  auto* run = static_cast<Run*>(data);
  run->status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  g_spawn_close_pid(pid);
  g_main_loop_quit(run->loop);
}

std::shared_ptr<sim::SimCamera> MakeCamera(const Options& options) {
  auto camera = std::make_shared<sim::SimCamera>(uint16_t(options.product));
  camera->LoadGenerated(options.pictures >= 0 ? size_t(options.pictures) : SIZE_MAX);
  if (options.large > 0) {
    sim::PictureSpec spec = sim::DemoPictures().front();
    spec.name = "IMG_9000.JPG";
    spec.orientation = 1;  // kept as the camera sends it, so that it can be compared
    camera->AddFile("100CANON", sim::MakeGeneratedPicture(spec, uint32_t(options.large)));
  }
  camera->PaceBulk(uint64_t(options.pace));
  if (!options.export_folder.empty() &&
      !realstack::ExportPictures(*camera, options.export_folder)) {
    fputs("harness: could not export the pictures\n", stderr);
    exit(2);
  }
  return camera;
}

}  // namespace

int main(int argc, char** argv) {
  sim::EnterMockEnvironment(argv);
  Options options = Parse(argc, argv);
  Run run;
  run.camera = MakeCamera(options);
  run.loop = g_main_loop_new(nullptr, FALSE);
  sim::CameraTestbed testbed(run.camera);
  run.testbed = &testbed;
  if (!options.absent) testbed.Plug(options.locked);
  OpenControl(run);

  GPid pid;
  GError* error = nullptr;
  if (!g_spawn_async(nullptr, options.command.data(), nullptr,
                     GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                     &pid, &error)) {
    fprintf(stderr, "could not start the command: %s\n", error->message);
    return 2;
  }
  g_child_watch_add(pid, Finished, &run);
  g_main_loop_run(run.loop);
  g_main_loop_unref(run.loop);
  unlink((run.control_folder + "/control").c_str());
  rmdir(run.control_folder.c_str());
  return run.status;
}

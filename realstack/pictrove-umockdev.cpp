// Test harness: runs a command (under dbus-run-session) against an emulated camera on the
// real usbfs path. Usage:
//   pictrove-umockdev [--absent] [--plug-at MS] [--unplug-at MS] -- COMMAND...
// The harness re-executes itself under the preload libraries, because the testbed's
// handlers must run inside the mock environment too.
#include <glib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "realstack/CameraTestbed.h"

namespace {

struct Options {
  bool absent = false;
  int plug_at = -1;
  int unplug_at = -1;
  std::vector<char*> command;
};

Options Parse(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
    if (strcmp(argv[i], "--absent") == 0)
      options.absent = true;
    else if (strcmp(argv[i], "--plug-at") == 0 && i + 1 < argc)
      options.plug_at = atoi(argv[++i]);
    else if (strcmp(argv[i], "--unplug-at") == 0 && i + 1 < argc)
      options.unplug_at = atoi(argv[++i]);
    else
      break;
  }
  if (i >= argc || strcmp(argv[i], "--") != 0 || i + 1 >= argc) {
    fputs("usage: pictrove-umockdev [--absent] [--plug-at MS] [--unplug-at MS] -- COMMAND...\n",
          stderr);
    exit(2);
  }
  options.command.push_back(const_cast<char*>("dbus-run-session"));
  options.command.push_back(const_cast<char*>("--"));
  for (++i; i < argc; ++i) options.command.push_back(argv[i]);
  options.command.push_back(nullptr);
  return options;
}

void EnterMockEnvironment(char** argv) {
  // Our own mark: the library's check also wants a testbed, which comes only later.
  if (getenv("PICTROVE_UMOCKDEV_PRELOADED") != nullptr) return;
  setenv("PICTROVE_UMOCKDEV_PRELOADED", "1", 1);
  std::string preload = std::string(PICTROVE_SEEK_SHIM) + ":libumockdev-preload.so.0";
  setenv("LD_PRELOAD", preload.c_str(), 1);
  execv("/proc/self/exe", argv);
  perror("execv");
  exit(2);
}

struct Run {
  realstack::CameraTestbed* testbed;
  GMainLoop* loop;
  int status = 0;
};

gboolean PlugNow(gpointer data) {
  static_cast<Run*>(data)->testbed->Plug();
  return G_SOURCE_REMOVE;
}

gboolean UnplugNow(gpointer data) {
  static_cast<Run*>(data)->testbed->Unplug();
  return G_SOURCE_REMOVE;
}

void Finished(GPid pid, gint status, gpointer data) {
  auto* run = static_cast<Run*>(data);
  run->status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  g_spawn_close_pid(pid);
  g_main_loop_quit(run->loop);
}

}  // namespace

int main(int argc, char** argv) {
  EnterMockEnvironment(argv);
  Options options = Parse(argc, argv);
  auto camera = std::make_shared<sim::SimCamera>();
  camera->LoadGenerated();
  realstack::CameraTestbed testbed(camera);
  if (!options.absent) testbed.Plug();

  Run run{&testbed, g_main_loop_new(nullptr, FALSE)};
  if (options.plug_at >= 0) g_timeout_add(guint(options.plug_at), PlugNow, &run);
  if (options.unplug_at >= 0) g_timeout_add(guint(options.unplug_at), UnplugNow, &run);

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
  return run.status;
}

#include "tests/cli/CliProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/Scratch.h"

extern char** environ;

namespace clitest {

CliProgram::CliProgram() : home_(testsupport::MakeScratchFolder()) {
  out_path_ = home_ + "/../" + std::filesystem::path(home_).filename().string() + ".out";
  err_path_ = home_ + "/../" + std::filesystem::path(home_).filename().string() + ".err";
}

CliProgram::~CliProgram() {
  std::filesystem::remove_all(home_);
  std::filesystem::remove(out_path_);
  std::filesystem::remove(err_path_);
}

pid_t CliProgram::Start(const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment) {
  std::vector<std::string> words = {PICTROVE_CLI};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<std::string> settings = {"HOME=" + home_, "XDG_CONFIG_HOME=" + home_ + "/.config",
                                       "PATH=/usr/bin:/bin"};
  // The session bus, when the test has one, is the user's.
  if (const char* bus = getenv("DBUS_SESSION_BUS_ADDRESS"))
    settings.push_back(std::string("DBUS_SESSION_BUS_ADDRESS=") + bus);
  settings.insert(settings.end(), environment.begin(), environment.end());
  std::vector<char*> argv, envp;
  for (std::string& word : words) argv.push_back(word.data());
  for (std::string& setting : settings) envp.push_back(setting.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addchdir_np(&actions, home_.c_str());
  pid_t child = -1;
  int error = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(error, 0) << "cannot start " << argv[0];
  return error == 0 ? child : -1;
}

Outcome CliProgram::Finish(pid_t child) {
  Outcome outcome;
  int status = 0;
  if (child <= 0 || waitpid(child, &status, 0) != child) return outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.out = testsupport::ReadWholeFile(out_path_);
  outcome.err = testsupport::ReadWholeFile(err_path_);
  return outcome;
}

Outcome CliProgram::Run(const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment) {
  return Finish(Start(arguments, environment));
}

std::string CliProgram::OutputSoFar() const {
  return testsupport::ReadWholeFile(out_path_);
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteBytes(const std::string& path, size_t size) {
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

}  // namespace clitest

#include "kit/Spawn.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace kit {

ProgramEnd RunProgramToEnd(const std::vector<std::string>& argv) {
  ProgramEnd end;
  if (argv.empty()) {
    end.error = EINVAL;
    return end;
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t child = 0;
  if (int error = posix_spawnp(&child, args[0], nullptr, nullptr, args.data(), environ);
      error != 0) {
    end.error = error;
    return end;
  }
  int status = 0;
  pid_t ended;
  do {
    ended = waitpid(child, &status, 0);
  } while (ended == -1 && errno == EINTR);
  if (ended != child)
    end.error = ended == -1 ? errno : ECHILD;
  else if (WIFEXITED(status))
    end.status = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    end.signal = WTERMSIG(status);
  else
    end.error = ECHILD;
  return end;
}

}  // namespace kit

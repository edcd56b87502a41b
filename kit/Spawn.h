// Running an external program with an argument vector, never through a shell.
#pragma once

#include <string>
#include <vector>

namespace kit {

// How a program run ended: exactly one of the three is set.
struct ProgramEnd {
  int error = 0;    // why it could not be started or waited for (ENOENT: not found), else 0
  int status = -1;  // its exit status when it exited, else -1
  int signal = 0;   // the signal that ended it, else 0
};

// Starts argv[0], found along PATH, with the process's environment, and waits for it to end.
ProgramEnd RunProgramToEnd(const std::vector<std::string>& argv);

}  // namespace kit

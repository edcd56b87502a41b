// Running an external program with an argument vector, never through a shell.
#pragma once

#include <string>
#include <vector>

namespace kit {

// Starts argv[0], found along PATH, with the process's environment, and waits for it to end.
// Its exit status, or -1 when it could not be started or did not exit normally.
int RunProgram(const std::vector<std::string>& argv);

}  // namespace kit

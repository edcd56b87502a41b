// Running the built pictrove-cli as a script would: its own process, arguments, a scratch
// home and configuration, its output and exit status.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace clitest {

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

class CliProgram {
 public:
  // A scratch home (also the current folder) and configuration, removed at the end.
  CliProgram();
  ~CliProgram();

  // Starts the program with these arguments and extra NAME=VALUE environment entries.
  pid_t Start(const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment = {});
  Outcome Finish(pid_t child);
  Outcome Run(const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment = {});
  // What the running program has written on its standard output so far.
  std::string OutputSoFar() const;

  const std::string& Home() const { return home_; }

 private:
  std::string home_;
  std::string out_path_;
  std::string err_path_;
};

// The names in a folder, hidden ones included, sorted.
std::vector<std::string> FolderNames(const std::string& folder);
// A file of `size` bytes, made or replaced.
void WriteBytes(const std::string& path, size_t size);

}  // namespace clitest

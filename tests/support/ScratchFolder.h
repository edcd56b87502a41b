// Scratch folders for the tests, the benchmarks and the fuzz targets alike: one helper, with
// no test framework in it, so that all three can link it.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

enum class Removal {
  kByCaller,  // the caller removes the folder
  kAtExit,    // removed with all it holds when the process exits
};

// A fresh folder below the temporary folder, named `<prefix>XXXXXX`. Aborts when none can be
// made: nothing a caller does without it would mean anything.
std::string MakeScratchFolder(const std::string& prefix = "pictrove-test",
                              Removal removal = Removal::kByCaller);

// A fresh folder made the current directory; afterwards the old one is current again and
// the folder is removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "pictrove_scratch_");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Every name in the folder, hidden ones included, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
  std::string previous_;
};

}  // namespace testsupport

// What get makes of a folder pattern, and how its progress line reads.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/Progress.h"
#include "cli/TargetFolder.h"

namespace {

TEST(CliFormat, FolderPatternsAndProgressLines) {
  setenv("HOME", "/home/jane", 1);
  const uint32_t kDate = 992099852;  // 2001-06-09 15:17:32 by the camera's clock
  const struct {
    std::string pattern, folder;
  } kFolders[] = {
      {"", "."},           {"~/Pictures/%Y/%m-%d", "/home/jane/Pictures/2001/06-09"},
      {"~", "/home/jane"}, {"/srv/~x/%H%M%S", "/srv/~x/151732"},
      {"plain", "plain"},
  };
  for (const auto& test : kFolders) EXPECT_EQ(TargetFolder(test.pattern, kDate), test.folder);

  const struct {
    int picture;
    uint64_t done, total;
    double seconds;
    std::string line;
  } kLines[] = {
      {1, 0, 3400000, 0.0, "picture 1 of 5  IMG_0001.JPG  0.0 of 3.4 MB"},
      {2, 1200000, 3400000, 1.5,
       "picture 2 of 5  IMG_0001.JPG  1.2 of 3.4 MB  800 kB/s  0:03 left"},
      {5, 3400000, 3400000, 4.0,
       "picture 5 of 5  IMG_0001.JPG  3.4 of 3.4 MB  850 kB/s  0:00 left"},
      {3, 1000, 100001000, 1.0,
       "picture 3 of 5  IMG_0001.JPG  0.0 of 100.0 MB  1 kB/s  1666:40 left"},
  };
  for (const auto& test : kLines)
    EXPECT_EQ(ProgressLine(test.picture, 5, "IMG_0001.JPG", test.done, test.total, test.seconds),
              test.line);
}

}  // namespace

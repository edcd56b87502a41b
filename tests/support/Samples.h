// The real camera pictures: the folder PICTROVE_SAMPLES names, else shared/samples beside the
// checkout or beside one of the folders above it. Tests that need them skip without them.
#pragma once

#include <string>

namespace testsupport {

// The folder, or the empty text when it is absent.
std::string SamplesDirectory();

}  // namespace testsupport

#define SKIP_WITHOUT_SAMPLES()                                                 \
  do {                                                                         \
    if (testsupport::SamplesDirectory().empty()) GTEST_SKIP() << "no samples"; \
  } while (0)

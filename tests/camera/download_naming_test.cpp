// Naming a downloaded picture on a file system that can neither rename without replacing nor
// link (some FUSE mounts): the calls are made to fail as such a file system fails them.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include "tests/camera/download_fixture.h"

namespace {
// While set, renameat2 and link answer as a file system without either does.
std::atomic<bool> neither_way{false};
}  // namespace

// These stand in front of the C library's for the whole test program, and pass every call
// through while the switch is off.
extern "C" int renameat2(int from_dir, const char* from, int to_dir, const char* to,
                         unsigned int flags) {
  using Real = int (*)(int, const char*, int, const char*, unsigned int);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "renameat2"));
  if (neither_way) {
    errno = EINVAL;
    return -1;
  }
  return real(from_dir, from, to_dir, to, flags);
}

extern "C" int link(const char* from, const char* to) noexcept {
  using Real = int (*)(const char*, const char*);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "link"));
  if (neither_way) {
    errno = EPERM;
    return -1;
  }
  return real(from, to);
}

namespace download_test {
namespace {

using Names = std::vector<std::string>;

class NeitherWay : public Download {
 protected:
  void SetUp() override { neither_way = true; }
  void TearDown() override { neither_way = false; }
};

TEST_F(NeitherWay, ThePictureTakesItsNameWhole) {
  Put(Counting(9000));
  Plug();
  ASSERT_TRUE(GetExample());
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), Counting(9000).bytes);
}

TEST_F(NeitherWay, ANameTakenDuringTheTransferIsNotReplaced) {
  camera = std::make_shared<IntrudingCamera>(kExampleName);
  Put(Counting(20000));
  Plug();
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
}

}  // namespace
}  // namespace download_test

#include "tests/camera/download_support.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace download_test {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, int mode) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::filesystem::permissions(path, std::filesystem::perms(mode));
}

void WriteScript(const std::string& path, const std::string& body) {
  std::string text = "#!/bin/sh\n" + body + "\n";
  WriteFile(path, {text.begin(), text.end()}, 0755);
}

std::optional<std::vector<uint8_t>> Attribute(const std::string& path, const std::string& name) {
  std::string key = "user." + name;
  std::vector<uint8_t> value(256);
  ssize_t size = lgetxattr(path.c_str(), key.c_str(), value.data(), value.size());
  if (size < 0) return std::nullopt;
  value.resize(size_t(size));
  return value;
}

std::vector<uint8_t> Typed(const char type[5], const void* value, size_t size) {
  std::vector<uint8_t> bytes(4 + size);
  memcpy(bytes.data(), type, 4);
  if (size != 0) memcpy(bytes.data() + 4, value, size);
  return bytes;
}

std::vector<uint8_t> Block(uint32_t length_word, uint32_t request_word, uint8_t code,
                           uint8_t command_class, uint32_t tag) {
  std::vector<uint8_t> block(80);
  for (int i = 0; i < 4; i++) {
    block[size_t(i)] = uint8_t(length_word >> (8 * i));
    block[size_t(4 + i)] = uint8_t(request_word >> (8 * i));
    block[size_t(72 + i)] = uint8_t(length_word >> (8 * i));
    block[size_t(76 + i)] = uint8_t(tag >> (8 * i));
  }
  block[64] = 0x02;
  block[68] = code;
  block[71] = command_class;
  return block;
}

std::vector<uint8_t> FixedReply(size_t size, uint8_t code, const std::vector<uint8_t>& answer) {
  std::vector<uint8_t> reply(size);
  reply[68] = code;
  std::copy(answer.begin(), answer.end(), reply.begin() + 80);
  return reply;
}

std::optional<std::string> InChild(const std::function<std::string()>& body) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return std::nullopt;
  pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    std::string result = body();
    size_t done = 0;
    while (done < result.size()) {
      ssize_t written = write(pipe_ends[1], result.data() + done, result.size() - done);
      if (written <= 0) _exit(2);
      done += size_t(written);
    }
    _exit(0);
  }
  close(pipe_ends[1]);
  std::string result;
  char piece[4096];
  ssize_t got;
  while ((got = read(pipe_ends[0], piece, sizeof piece)) > 0) result.append(piece, size_t(got));
  close(pipe_ends[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return std::nullopt;
  return result;
}

bool MountInNamespace(const std::string& folder, const char* type, const char* options) {
  uid_t uid = getuid();
  gid_t gid = getgid();
  if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
  auto put = [](const char* file, const std::string& text) {
    int fd = open(file, O_WRONLY | O_CLOEXEC);
    bool ok = fd != -1 && write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd != -1) close(fd);
    return ok;
  };
  return put("/proc/self/setgroups", "deny") &&
         put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
         put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1") &&
         mount("pictrove", folder.c_str(), type, 0, options) == 0 && chdir(folder.c_str()) == 0;
}

}  // namespace download_test

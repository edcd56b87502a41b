// What the download, attribute and information tests share: a scratch folder that is the
// current directory for a test's life, files and their attributes, the command block a
// command should start with, and a way to run a piece of a test in a child process.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Environment.h"
#include "tests/support/ScratchFolder.h"

namespace download_test {

// A fresh folder made the current directory for a test's life.
using testsupport::ScratchFolder;

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, int mode = 0644);
// A shell script that the tests put on PATH in place of a program.
void WriteScript(const std::string& path, const std::string& body);
// The value of the user attribute "user.<name>", none when the file has none.
std::optional<std::vector<uint8_t>> Attribute(const std::string& path, const std::string& name);
// The bytes of a typed attribute: its four-character type code, then the value.
std::vector<uint8_t> Typed(const char type[5], const void* value, size_t size);

using testsupport::EnvironmentSetting;

// The 80-byte block a command starts with, as the command table gives it.
std::vector<uint8_t> Block(uint32_t length_word, uint32_t request_word, uint8_t code,
                           uint8_t command_class, uint32_t tag = 0x12345678);
// A fixed-size reply of `size` bytes to the command `code` (at byte 68) whose bytes from 80 on
// are `answer`.
std::vector<uint8_t> FixedReply(size_t size, uint8_t code, const std::vector<uint8_t>& answer);

// Runs `body` in a child process and returns what it returned; none when the child did
// not come back normally. Used where a test changes what the whole process may do.
std::optional<std::string> InChild(const std::function<std::string()>& body);

// In a child process: mounts a file system of that type over `folder` inside a user and
// mount namespace of its own (so that no privilege is needed) and makes it the current
// folder. False when the system allows no such namespace or mount.
bool MountInNamespace(const std::string& folder, const char* type, const char* options);

}  // namespace download_test

// A message: a 32-bit code written as four characters plus named, typed fields.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace kit {

// 'ABCD' as the 32-bit code the old message loops used.
constexpr uint32_t FourCC(const char (&code)[5]) {
  return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
         (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// The four characters of a code, for diagnostics and the D-Bus interface.
std::string FourCCText(uint32_t code);
// The code written as these four characters; false when the text is not four bytes long.
bool ParseFourCC(const std::string& text, uint32_t* code);

// An entry reference travels as a path.
struct EntryRef {
  std::string path;
};

class Message {
 public:
  explicit Message(uint32_t what = 0) : what(what) {}

  uint32_t what;

  void AddInt32(const std::string& name, int32_t value) { Add(name, value); }
  void AddInt64(const std::string& name, int64_t value) { Add(name, value); }
  void AddString(const std::string& name, const std::string& value) { Add(name, value); }
  void AddRef(const std::string& name, const EntryRef& value) { Add(name, value); }

  // Each Find fails when the field is missing, has another type or fewer values than index + 1.
  bool FindInt32(const std::string& name, int32_t* value, size_t index = 0) const {
    return Find(name, value, index);
  }
  bool FindInt64(const std::string& name, int64_t* value, size_t index = 0) const {
    return Find(name, value, index);
  }
  bool FindString(const std::string& name, std::string* value, size_t index = 0) const {
    return Find(name, value, index);
  }
  bool FindRef(const std::string& name, EntryRef* value, size_t index = 0) const {
    return Find(name, value, index);
  }

  size_t CountValues(const std::string& name) const;

 private:
  using Value = std::variant<int32_t, int64_t, std::string, EntryRef>;

  template <typename T>
  void Add(const std::string& name, T value) {
    fields_[name].emplace_back(std::move(value));
  }

  template <typename T>
  bool Find(const std::string& name, T* value, size_t index) const {
    auto field = fields_.find(name);
    if (field == fields_.end() || index >= field->second.size()) return false;
    const T* found = std::get_if<T>(&field->second[index]);
    if (found == nullptr) return false;
    *value = *found;
    return true;
  }

  std::map<std::string, std::vector<Value>> fields_;
};

}  // namespace kit

// The owner name between ISO 8859-1 on the camera and UTF-8 in the program.
#include <gtest/gtest.h>

#include <string>

#include "camera/OwnerName.h"

namespace {

TEST(OwnerName, FromTheCamerasField) {
  unsigned char field[32] = {'M', 0xFC, 'l', 'l', 'e', 'r', 0, 'x'};
  EXPECT_EQ(OwnerFromCamera(field), "M\xC3\xBCller");
  unsigned char full[33];
  memset(full, 0xE9, sizeof full);
  // Only the 32 bytes of the field, each as two bytes.
  std::string expected;
  for (int i = 0; i < 32; i++) expected += "\xC3\xA9";
  EXPECT_EQ(OwnerFromCamera(full), expected);
}

TEST(OwnerName, ForTheCamera) {
  EXPECT_EQ(OwnerForCamera("M\xC3\xBCller"), "M\xFCller");
  EXPECT_EQ(OwnerForCamera(std::string(40, 'a').c_str()), std::string(31, 'a'));
  EXPECT_EQ(OwnerForCamera("\xF0\x9F\x93\xB7 cam"), "? cam");
  EXPECT_EQ(OwnerForCamera(""), "");
}

TEST(OwnerName, PrefixNeverCutsACharacter) {
  EXPECT_EQ(Utf8Prefix("ab", 5), "ab");
  EXPECT_EQ(Utf8Prefix("a\xC3\xA9", 2), "a");
  EXPECT_EQ(Utf8Prefix("a\xC3\xA9", 3), "a\xC3\xA9");
  EXPECT_EQ(Utf8Prefix("\xE2\x82\xAC\xE2\x82\xAC", 5), "\xE2\x82\xAC");
  EXPECT_EQ(Utf8Prefix("\xF0\x9F\x93\xB7", 3), "");
  std::string name = std::string(199, 'a') + "\xC3\xA9" + "zz";
  EXPECT_EQ(Utf8Prefix(name, 200), std::string(199, 'a'));
}

}  // namespace

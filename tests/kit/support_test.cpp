#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "kit/Bitmap.h"
#include "kit/FileAttributes.h"
#include "kit/Latin1.h"
#include "kit/Settings.h"

namespace {

TEST(Latin1, RoundTripsEveryLatin1Character) {
  std::string all;
  for (int c = 1; c < 256; c++) all += char(c);
  EXPECT_EQ(kit::Utf8ToLatin1(kit::Latin1ToUtf8(all)), all);
  EXPECT_EQ(kit::Latin1ToUtf8("M\xfcller"), "M\xc3\xbcller");
}

TEST(Latin1, SubstitutesWhatLatin1CannotHold) {
  EXPECT_EQ(kit::Utf8ToLatin1("\xe2\x84\xa2"), "?");          // U+2122
  EXPECT_EQ(kit::Utf8ToLatin1("a\xf0\x9f\x93\xb7z"), "a?z");  // a camera emoji
  EXPECT_EQ(kit::Utf8ToLatin1("a\xc3"), "a?");                // cut off
  EXPECT_EQ(kit::Utf8ToLatin1("\x80x"), "?x");                // stray continuation byte
}

TEST(Bitmap, PixelsAreFourBytesBlueFirst) {
  kit::Bitmap bitmap(3, 2);
  EXPECT_EQ(bitmap.BytesPerRow(), 12);
  EXPECT_EQ(bitmap.BitsLength(), 24u);
  bitmap.SetPixel(2, 1, 0xff102030);
  EXPECT_EQ(bitmap.PixelAt(2, 1), 0xff102030u);
  EXPECT_EQ(bitmap.Bits()[12 + 8], 0x30);   // blue
  EXPECT_EQ(bitmap.Bits()[12 + 10], 0x10);  // red
}

TEST(Settings, XdgConfigHomeWinsOverHome) {
  std::string saved_home = getenv("HOME") ? getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(kit::UserSettingsDirectory(), "/tmp/cfg");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(kit::UserSettingsDirectory(), "/home/someone/.config");
  unsetenv("HOME");
  EXPECT_EQ(kit::UserSettingsDirectory(), "");
  if (!saved_home.empty()) setenv("HOME", saved_home.c_str(), 1);
}

TEST(FileAttributes, TypedValueFollowsItsTypeCode) {
  char folder[] = "/tmp/pictrove-attrXXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string path = std::string(folder) + "/a.jpg";
  int fd = open(path.c_str(), O_CREAT | O_RDWR, 0644);
  ASSERT_GE(fd, 0);
  int32_t width = 640;
  if (!kit::WriteAttr(fd, "GRAFX:Width", kit::kInt32Type, &width, sizeof width)) {
    close(fd);
    unlink(path.c_str());
    rmdir(folder);
    GTEST_SKIP() << "no user extended attributes on /tmp";
  }
  ASSERT_TRUE(kit::SetMimeType(fd, "image/jpeg"));
  unsigned char value[16];
  ASSERT_EQ(fgetxattr(fd, "user.GRAFX:Width", value, sizeof value), 8);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value), 4), "LONG");
  EXPECT_EQ(value[4] | value[5] << 8, 640);
  char mime[32];
  ASSERT_EQ(fgetxattr(fd, "user.mime_type", mime, sizeof mime), 10);
  EXPECT_EQ(std::string(mime, 10), "image/jpeg");
  close(fd);
  unlink(path.c_str());
  rmdir(folder);
}

}  // namespace

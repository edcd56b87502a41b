#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Settings.h"
#include "app/messages.h"
#include "app/ptv_App.h"

namespace {

TEST(AttributeChoices, MakeTheByteTheMainWindowSends) {
  // Downloaded: Set, protected: Ignore on 0x21 sends 0x01.
  EXPECT_EQ(ptv_App::AttributesFor(0x21, kSet, kIgnore), 0x01u);
  // Downloaded: Unset, protected: Set on 0x00 sends 0x21.
  EXPECT_EQ(ptv_App::AttributesFor(0x00, kUnset, kSet), 0x21u);
  // Both ignored: the value goes unchanged, bits above the byte included.
  EXPECT_EQ(ptv_App::AttributesFor(0x1A5, kIgnore, kIgnore), 0x1A5u);
  // Any choice keeps only the byte.
  EXPECT_EQ(ptv_App::AttributesFor(0x1A5, kIgnore, kUnset), 0xA4u);
  EXPECT_EQ(ptv_App::AttributesFor(0x1A5, kUnset, kIgnore), 0xA5u);
  EXPECT_EQ(ptv_App::AttributesFor(0x100, kSet, kIgnore), 0x00u);
}

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/pictrove-settingsXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(folder_);
  }
  std::string folder_;
};

TEST_F(SettingsFile, HoldsTheFolderAndANewlineAndIsReadBack) {
  EXPECT_EQ(ReadDownloadFolder(), "");            // no file yet
  WriteDownloadFolder("/home/someone/Pictures");  // makes the missing settings folder
  std::ifstream file(SettingsFilePath());
  std::string content((std::istreambuf_iterator<char>(file)), {});
  EXPECT_EQ(content, "/home/someone/Pictures\n");
  EXPECT_EQ(ReadDownloadFolder(), "/home/someone/Pictures");
  WriteDownloadFolder("/tmp");
  EXPECT_EQ(ReadDownloadFolder(), "/tmp");
  EXPECT_FALSE(std::filesystem::exists(SettingsFilePath() + ".new"));
}

TEST_F(SettingsFile, ALineWithoutItsNewlineLosesItsLastCharacter) {
  WriteDownloadFolder("/x");
  std::ofstream(SettingsFilePath(), std::ios::trunc) << "/home/someone/Pictures";
  EXPECT_EQ(ReadDownloadFolder(), "/home/someone/Picture");
}

}  // namespace

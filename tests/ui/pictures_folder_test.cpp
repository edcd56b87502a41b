// Where the download folder panel starts before a folder is remembered.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "tests/support/Environment.h"
#include "ui/PicturesFolder.h"
#include "ui/ptv_FilePanel.h"

namespace {

using testsupport::EnvironmentSetting;

struct StartCase {
  const char* label;
  const char* answer;    // what the desktop's tool prints; none: there is no such tool
  bool pictures;         // whether ~/Pictures exists
  const char* expected;  // under the scratch folder
};

class PicturesFolderStart : public testing::TestWithParam<StartCase> {};

TEST_P(PicturesFolderStart, AsTheDesktopNamesIt) {
  const StartCase& c = GetParam();
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  QDir root(scratch.path());
  ASSERT_TRUE(root.mkpath("home") && root.mkpath("tools") && root.mkpath("Bilder"));
  if (c.pictures) {
    ASSERT_TRUE(root.mkpath("home/Pictures"));
  }
  if (c.answer != nullptr) {
    QFile tool(root.filePath("tools/xdg-user-dir"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write(QString("#!/bin/sh\n[ \"$1\" = PICTURES ] && echo '%1/%2'\n")
                   .arg(scratch.path(), c.answer)
                   .toUtf8());
    tool.close();
    chmod(QFile::encodeName(tool.fileName()).constData(), 0755);
  }
  EnvironmentSetting home("HOME", root.filePath("home").toStdString());
  // The test's tool or none: the desktop's own answers for the real home.
  EnvironmentSetting path("PATH", root.filePath("tools").toStdString());
  const QString expected = QDir::cleanPath(scratch.path() + "/" + c.expected);
  EXPECT_EQ(PicturesFolder(), expected);
  ptv_FilePanel panel;
  EXPECT_EQ(panel.directory().absolutePath(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PicturesFolderStart,
                         testing::Values(StartCase{"ToolsAnswer", "Bilder", true, "Bilder"},
                                         StartCase{"AnswerNoFolder", "gone", true, "home/Pictures"},
                                         StartCase{"NoToolPictures", nullptr, true,
                                                   "home/Pictures"},
                                         StartCase{"NoToolNoPictures", nullptr, false, "home"}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <filesystem>

#include "app/Settings.h"
#include "tests/program/BusSignals.h"
#include "tests/program/ProgramFixture.h"
#include "ui/DbusService.h"
#include "ui/ptv_FilePanel.h"

namespace {

using programtest::CameraWith;
using programtest::Pictures;
using programtest::Program;

// Runs only where a session bus is there; CTest gives it one of its own.
class Dbus : public Program {
 protected:
  void SetUp() override {
    Program::SetUp();
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
  }

  // Calls Post on the object through the bus, from a connection of its own, as another
  // program would; the error name, or the empty text on success.
  QString Post(const char* object, const QString& code, const QStringList& refs) {
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");
    QDBusMessage call = QDBusMessage::createMethodCall(kBusName, object, kBusInterface, "Post")
                        << code << refs;
    QDBusPendingCall pending = client.asyncCall(call);
    EXPECT_TRUE(WaitFor([&] { return pending.isFinished(); }));
    QDBusConnection::disconnectFromBus("client");
    return pending.isError() ? pending.error().name() : QString();
  }
};

TEST_F(Dbus, SelectAllThenAFolderDownloadsWithoutAPanel) {
  StartWith(CameraWith(Pictures(2)));
  DbusService service;
  std::string folder = ScratchFolder();
  EXPECT_EQ(Post("/mainwindow", "SALL", {}), "");
  ASSERT_TRUE(WaitFor([&] { return Selection().size() == 2; }));
  testing::internal::CaptureStderr();
  EXPECT_EQ(Post("/application", "slct", {QString::fromStdString(folder)}), "");
  ASSERT_TRUE(WaitFor([&] { return ReadDownloadFolder() == folder; }));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(std::filesystem::exists(folder + "/IMG_0001.JPG"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/IMG_0002.JPG"));
  EXPECT_EQ(windows_->FolderPanel() == nullptr || !windows_->FolderPanel()->isVisible(), true);
}

TEST_F(Dbus, ScriptsAreToldOfTheListingAndOfTheRunsEnd) {
  StartWith(CameraWith(Pictures(2)));
  DbusService service;
  windows_->SetBusService(&service);
  BusSignals heard({"ListingRead", "DownloadFinished"}, "/application");
  testing::internal::CaptureStderr();
  // The camera plugged in again is read again.
  platform_->Bus().Remove(kNode);
  ASSERT_TRUE(WaitFor([] { return app->CurrentCamera() == nullptr; }));
  platform_->Bus().Plug(kNode, camera_);
  ASSERT_TRUE(WaitFor([&] { return heard.received.size() == 1; }));
  std::string folder = ScratchFolder();
  EXPECT_EQ(Post("/mainwindow", "SALL", {}), "");
  ASSERT_TRUE(WaitFor([&] { return Selection().size() == 2; }));
  EXPECT_EQ(Post("/application", "slct", {QString::fromStdString(folder)}), "");
  ASSERT_TRUE(WaitFor([&] { return heard.received.size() == 2; }));
  // Again: both pictures are there already, and the run stops at the first.
  EXPECT_EQ(Post("/application", "slct", {QString::fromStdString(folder)}), "");
  ASSERT_TRUE(WaitFor([&] { return heard.received.size() == 3; }));
  testing::internal::GetCapturedStderr();
  const QString place = QString::fromStdString(folder);
  // Downloaded, not downloaded, the folder, deleted from the camera.
  EXPECT_EQ(heard.received, QStringList({"ListingRead 2", "DownloadFinished 2 0 " + place + " 0",
                                         "DownloadFinished 0 2 " + place + " 0"}));
  windows_->SetBusService(nullptr);
}

TEST_F(Dbus, MalformedCodesAndMissingPathsAreRefused) {
  StartWith(CameraWith(Pictures(1)));
  DbusService service;
  const QString invalid = "org.freedesktop.DBus.Error.InvalidArgs";
  EXPECT_EQ(Post("/mainwindow", "SAL", {}), invalid);
  EXPECT_EQ(Post("/mainwindow", "SALLX", {}), invalid);
  EXPECT_EQ(Post("/mainwindow", "slct", {}), invalid);  // an application code
  EXPECT_EQ(Post("/application", "slct", {"/no/such/folder"}), invalid);
  Pump(50);
  EXPECT_TRUE(Selection().empty());
  EXPECT_EQ(ReadDownloadFolder(), "");
  EXPECT_TRUE(alerts_.Texts().empty());
}

}  // namespace

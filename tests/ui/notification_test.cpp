// The notification at a download run's end, told to a notification service of the test's own.
#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include "tests/ui/window_look.h"
#include "ui/RunNotification.h"

namespace {

// Answers Notify with the id 7 and keeps its arguments.
struct FakeService : QDBusVirtualObject {
  QString introspect(const QString&) const override { return QString(); }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    call = message.arguments();
    return connection.send(message.createReply(QVariantList{uint(7)}));
  }
  QVariantList call;
};

TEST(Notification, TellsWhatCameIntoWhichFolderAndOpensIt) {
  if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
  QStringList opened;
  RunNotifier notifier([&](const QString& folder) { opened << folder; });
  QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake");
  FakeService fake;
  const QString name = "org.freedesktop.Notifications", path = "/org/freedesktop/Notifications";
  ASSERT_TRUE(service.registerVirtualObject(path, &fake) && service.registerService(name));
  notifier.RunEnded(11, 1, "/home/u/Pictures");
  ASSERT_TRUE(uitest::WaitUntil([&] { return fake.call.size() == 8; }));
  EXPECT_EQ(fake.call[4].toString(), "11 pictures came into /home/u/Pictures. 1 picture failed.");
  EXPECT_EQ(fake.call[5].toStringList(), QStringList({"default", "Open Folder"}));
  for (uint id : {8u, 7u})  // another program's notification first
    service.send(QDBusMessage::createSignal(path, name, "ActionInvoked") << id << "default");
  ASSERT_TRUE(uitest::WaitUntil([&] { return !opened.isEmpty(); }));
  EXPECT_EQ(opened, QStringList{"/home/u/Pictures"});
}

}  // namespace

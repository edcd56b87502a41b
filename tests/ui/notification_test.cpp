// The notification at a download run's end, against a notification service of the test's
// own on the session bus.
#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <vector>

#include "tests/ui/window_look.h"
#include "ui/RunNotification.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Answers Notify with the id 7 and keeps the arguments.
class FakeService : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return QString(); }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() != QStringLiteral("Notify")) return false;
    calls.push_back(message.arguments());
    connection.send(message.createReply(QVariantList{uint(7)}));
    return true;
  }
  std::vector<QVariantList> calls;
};

class Notification : public testing::Test {
 protected:
  void SetUp() override {
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
  }
  QDBusConnection Service() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, "notification service");
  }
  void Invoke(QDBusConnection service, uint id, const QString& action) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, "ActionInvoked");
    signal << id << action;
    service.send(signal);
  }
  std::vector<QString> opened_;
  RunNotifier notifier_{[this](const QString& folder) { opened_.push_back(folder); }};
};

TEST_F(Notification, TellsWhatCameIntoWhichFolderAndOpensIt) {
  QDBusConnection service = Service();
  FakeService fake;
  ASSERT_TRUE(service.registerVirtualObject(kPath, &fake));
  ASSERT_TRUE(service.registerService(kService));
  notifier_.RunEnded(11, 1, QStringLiteral("/home/u/Pictures"));
  ASSERT_TRUE(uitest::WaitUntil([&] { return !fake.calls.empty(); }));
  const QVariantList& call = fake.calls[0];
  ASSERT_EQ(call.size(), 8);
  EXPECT_EQ(call[0].toString(), QStringLiteral("pictrove"));
  EXPECT_EQ(call[4].toString(),
            QStringLiteral("11 pictures came into /home/u/Pictures. 1 picture failed."));
  EXPECT_EQ(call[5].toStringList(), QStringList({"default", "Open Folder"}));

  Invoke(service, 8, "default");  // another program's notification
  Invoke(service, 7, "default");
  ASSERT_TRUE(uitest::WaitUntil([&] { return !opened_.empty(); }));
  EXPECT_EQ(opened_, std::vector<QString>{QStringLiteral("/home/u/Pictures")});
  service.unregisterService(kService);
  QDBusConnection::disconnectFromBus("notification service");
}

TEST_F(Notification, NoServiceNoNotificationAndNoWait) {
  ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kService));
  notifier_.RunEnded(1, 0, QStringLiteral("/tmp"));
  uitest::Settle();
  EXPECT_EQ(RunNotifier::Body(1, 0, "/tmp"), QStringLiteral("1 picture came into /tmp."));
  EXPECT_EQ(RunNotifier::Body(0, 2, "/tmp"),
            QStringLiteral("No picture came into /tmp. 2 pictures failed."));
  EXPECT_TRUE(opened_.empty());
}

}  // namespace

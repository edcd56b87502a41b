#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "kit/Looper.h"
#include "kit/Messenger.h"

namespace {

// Records what it handles and on which thread, and lets a test wait for a count.
class RecordingLooper : public kit::Looper {
 public:
  void WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    ASSERT_TRUE(
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return seen_.size() >= count; }));
  }
  std::vector<uint32_t> Seen() {
    std::lock_guard<std::mutex> guard(mutex_);
    return seen_;
  }
  std::thread::id handled_on;

 protected:
  void MessageReceived(kit::Message* message) override {
    handled_on = std::this_thread::get_id();
    std::lock_guard<std::mutex> guard(mutex_);
    seen_.push_back(message->what);
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint32_t> seen_;
};

TEST(Looper, HandlesMessagesInOrderOnItsOwnThread) {
  RecordingLooper looper;
  looper.PostMessage(kit::Message(1));  // before Run: waits in the queue
  looper.Run();
  looper.PostMessage(kit::Message(2));
  looper.PostMessage(kit::Message(3));
  looper.WaitFor(3);
  EXPECT_EQ(looper.Seen(), (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_NE(looper.handled_on, std::this_thread::get_id());
}

TEST(Looper, LockHeldByAnotherThreadDelaysHandling) {
  RecordingLooper looper;
  looper.Run();
  looper.Lock();
  looper.PostMessage(kit::Message(7));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(looper.Seen().empty());
  looper.Unlock();
  looper.WaitFor(1);
}

TEST(Looper, QuitEndsTheThreadAndRefusesLaterMessages) {
  RecordingLooper looper;
  looper.Run();
  looper.Quit();
  EXPECT_FALSE(looper.IsRunning());
  EXPECT_FALSE(looper.PostMessage(kit::Message(1)));
  looper.Quit();  // a second quit is harmless
}

TEST(Looper, ReadSourceIsServedOnTheLooperThread) {
  RecordingLooper looper;
  int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  std::atomic<int> reads{0};
  std::atomic<bool> on_looper{false};
  looper.AddReadSource(fd, [&] {
    uint64_t value;
    if (read(fd, &value, sizeof value) == sizeof value) reads += int(value);
    on_looper = looper.InLooperThread();
    looper.PostMessage(kit::Message(9));
  });
  looper.Run();
  uint64_t three = 3;
  ASSERT_EQ(write(fd, &three, sizeof three), ssize_t(sizeof three));
  looper.WaitFor(1);
  EXPECT_EQ(reads, 3);
  EXPECT_TRUE(on_looper);
  looper.Quit();
  close(fd);
}

TEST(Messenger, SendingToALooperThatIsGoneFailsQuietly) {
  kit::Messenger messenger;
  EXPECT_FALSE(messenger.SendMessage(kit::Message(1)));
  {
    RecordingLooper looper;
    looper.Run();
    messenger = kit::Messenger(looper);
    EXPECT_TRUE(messenger.IsValid());
    EXPECT_TRUE(messenger.SendMessage(kit::Message(5)));
    looper.WaitFor(1);
  }
  EXPECT_FALSE(messenger.IsValid());
  EXPECT_FALSE(messenger.SendMessage(kit::Message(6)));
}

}  // namespace

// A message loop on its own thread, with a queue and a re-entrant lock held while a
// message is handled. File descriptors can be read by the same thread (the roster reads
// its node monitor this way).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "kit/Message.h"

namespace kit {

class Looper;

// Shared between a looper and its messengers, so that a messenger outliving its looper
// sends nothing instead of touching freed memory.
struct LooperLink {
  std::mutex mutex;
  Looper* looper = nullptr;
};

class Looper {
 public:
  Looper();
  virtual ~Looper();  // quits the thread if it still runs

  Looper(const Looper&) = delete;
  Looper& operator=(const Looper&) = delete;

  // Starts the thread. Messages posted before Run wait in the queue.
  void Run();

  // Queues a message; callable from any thread. False once the looper has quit.
  bool PostMessage(Message message);

  // The looper's lock: re-entrant, held by the looper's thread while it handles a message.
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

  // Ends the loop. From another thread it waits until the thread has ended; from the
  // looper's own thread the loop ends after the current message.
  void Quit();

  bool IsRunning() const;
  bool InLooperThread() const { return std::this_thread::get_id() == thread_.get_id(); }

  // Calls `readable` on the looper's thread, under its lock, whenever `fd` can be read.
  // Callable before Run or from the looper's own thread.
  void AddReadSource(int fd, std::function<void()> readable);
  void RemoveReadSource(int fd);

  std::shared_ptr<LooperLink> Link() const { return link_; }

 protected:
  virtual void MessageReceived(Message* message);

 private:
  struct Source {
    int fd;
    std::function<void()> readable;
  };

  void Loop();
  void Wake();
  bool TakeMessage(Message* message);

  std::recursive_mutex lock_;
  std::shared_ptr<LooperLink> link_;
  mutable std::mutex queue_mutex_;
  std::deque<Message> queue_;
  bool quitting_ = false;
  bool running_ = false;
  int wake_fd_ = -1;
  std::vector<Source> sources_;
  std::thread thread_;
};

}  // namespace kit

// How a transfer's progress is printed: on a terminal one line that keeps being rewritten,
// otherwise one line a picture, so that a log stays readable.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

// The line's figures, written out: "picture 2 of 5  IMG_0002.JPG  1.2 of 3.4 MB  800 kB/s
// 0:03 left". Rate and time left are left out while nothing has moved yet.
std::string ProgressLine(int picture, int pictures, const std::string& name, uint64_t done,
                         uint64_t total, double seconds);

class Progress {
 public:
  Progress(FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

  // A run over `pictures` pictures of `bytes` bytes in all begins.
  void Begin(int pictures, uint64_t bytes);
  // The picture (counted from 1 over the whole run) whose data comes next.
  void Picture(int picture, const std::string& name);
  void Bytes(uint64_t delta);
  // A line of its own (a skipped picture, an alert), kept clear of the updating line; on
  // this output unless another is given.
  void Say(const std::string& line, FILE* to = nullptr);
  void End();

 private:
  void Draw();
  double Seconds() const;

  FILE* out_;
  bool terminal_;
  std::mutex mutex_;
  int picture_ = 0;
  int pictures_ = 0;
  std::string name_;
  uint64_t done_ = 0;
  uint64_t total_ = 0;
  bool drawn_ = false;  // an updating line stands unfinished on the terminal
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawn_at_;
};

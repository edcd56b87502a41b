#include "cli/Progress.h"

#include "app/ProgressFigures.h"

std::string ProgressLine(int picture, int pictures, const std::string& name, uint64_t done,
                         uint64_t total, double seconds) {
  return "picture " + std::to_string(picture) + " of " + std::to_string(pictures) + "  " + name +
         "  " + ProgressFigures(done, total, seconds);
}

void Progress::Begin(int pictures, uint64_t bytes) {
  std::lock_guard<std::mutex> guard(mutex_);
  pictures_ = pictures;
  total_ = bytes;
  done_ = 0;
  picture_ = 0;
  start_ = std::chrono::steady_clock::now();
}

void Progress::Picture(int picture, const std::string& name) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (picture == picture_) return;
  picture_ = picture;
  name_ = name;
  if (!terminal_) {
    fprintf(out_, "%s\n",
            ProgressLine(picture_, pictures_, name_, done_, total_, Seconds()).c_str());
    fflush(out_);
    return;
  }
  Draw();
}

void Progress::Bytes(uint64_t delta) {
  std::lock_guard<std::mutex> guard(mutex_);
  done_ += delta;
  // A terminal is redrawn a few times a second, not for every piece of data.
  if (terminal_ && std::chrono::steady_clock::now() - drawn_at_ >= kProgressInterval) Draw();
}

void Progress::Say(const std::string& line, FILE* to) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (drawn_) {
    fputs("\r\033[K", out_);
    fflush(out_);
  }
  drawn_ = false;
  FILE* out = to != nullptr ? to : out_;
  fprintf(out, "%s\n", line.c_str());
  fflush(out);
}

void Progress::End() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (drawn_) {
    Draw();
    fputc('\n', out_);
    fflush(out_);
  }
  drawn_ = false;
}

void Progress::Draw() {
  if (picture_ == 0) return;
  fprintf(out_, "\r\033[K%s",
          ProgressLine(picture_, pictures_, name_, done_, total_, Seconds()).c_str());
  fflush(out_);
  drawn_ = true;
  drawn_at_ = std::chrono::steady_clock::now();
}

double Progress::Seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

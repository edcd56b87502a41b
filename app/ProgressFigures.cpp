#include "app/ProgressFigures.h"

#include <cstdio>

namespace {

std::string Megabytes(uint64_t bytes) {
  char text[32];
  snprintf(text, sizeof text, "%.1f", double(bytes) / 1e6);
  return text;
}

}  // namespace

std::string ProgressFigures(uint64_t done, uint64_t total, double seconds) {
  std::string line = Megabytes(done) + " of " + Megabytes(total) + " MB";
  if (done == 0 || seconds <= 0) return line;
  double rate = double(done) / seconds;
  auto left = uint64_t(double(total > done ? total - done : 0) / rate + 0.5);
  char text[96];
  snprintf(text, sizeof text, "  %.0f kB/s  %llu:%02llu left", rate / 1e3,
           static_cast<unsigned long long>(left / 60), static_cast<unsigned long long>(left % 60));
  return line + text;
}

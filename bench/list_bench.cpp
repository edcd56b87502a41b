// Painting a window full of picture rows out of a list of 1000: the view must find the
// visible rows without walking the list, and draw them well within a frame (target paint_ms: at most 5 ms).
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QScrollBar>
#include <QStyleFactory>
#include <chrono>
#include <cstdlib>

#include "app/PictureList.h"
#include "bench/Targets.h"
#include "kit/Bitmap.h"
#include "ui/ptv_picListView.h"

namespace {

constexpr int kRows = 1000;

kit::Bitmap* Thumbnail(int seed) {
  auto* bitmap = new kit::Bitmap(160, 120);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 160; ++x) bitmap->SetPixel(x, y, 0xFF000000u | uint32_t(seed * 31 + x * y));
  }
  return bitmap;
}

// The camera's usual mix: most rows with a landscape thumbnail, some turned, a few without.
void Fill(PictureList& list) {
  for (int index = 0; index < kRows; ++index) {
    auto* row = new pic_Item("D:\\DCIM\\100TESTS\\IMG_0001.JPG", index % 3 ? 0x20 : 0x01, 1234567,
                             1000000000u + uint32_t(index) * 60,
                             index % 7 ? Thumbnail(index) : nullptr, 1600, 1200);
    if (index % 4 == 0) row->Rotate(90);
    list.add_item(row);
  }
  list.sort_list();
  for (int index = 0; index < kRows; index += 5) list.Select(index, true);
}

// Arguments: the list's width and height, and where it is scrolled to, in percent.
void BM_PaintWindow(benchmark::State& state) {
  PictureList list;
  Fill(list);
  ptv_picListView view(list);
  view.setFont(QFont(QStringLiteral("DejaVu Sans")));
  view.resize(int(state.range(0)), int(state.range(1)));
  view.show();
  QApplication::processEvents();
  QScrollBar* bar = view.verticalScrollBar();
  bar->setValue(bar->maximum() * int(state.range(2)) / 100);
  QApplication::processEvents();

  QImage target(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    view.viewport()->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["paint_ms"] = seconds * 1000 / double(state.iterations());
  state.counters["rows_visible"] =
      list.IndexAt(bar->value() + view.viewport()->height() - 1) - list.IndexAt(bar->value()) + 1;
}

// The window at its smallest (the list 376 x 230) and at its largest (776 x 930).
BENCHMARK(BM_PaintWindow)
    ->Args({376, 230, 0})
    ->Args({376, 230, 50})
    ->Args({776, 930, 0})
    ->Args({776, 930, 50})
    ->Args({776, 930, 100})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_SCALE_FACTOR", "1", 1);
  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  return RunBenchmarks(argc, argv);
}

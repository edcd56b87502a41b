#include "app/pic_Item.h"

#include <atomic>
#include <cstring>

pic_Item::pic_Item(const char* name, unsigned long attributes, unsigned long size,
                   unsigned long date, kit::Bitmap* thumbnail, unsigned long xres,
                   unsigned long yres)
    : attributes(uint32_t(attributes)),
      date(uint32_t(date)),
      size(uint32_t(size)),
      xres(uint32_t(xres)),
      yres(uint32_t(yres)),
      thumbnail_(thumbnail) {
  set_Name(name);
}

std::unique_ptr<pic_Item> pic_Item::Copy() const {
  auto copy = std::make_unique<pic_Item>(GetName(), attributes, size, date, nullptr, xres, yres);
  copy->set_Flash(flash);
  copy->set_Orientation(orientation);
  copy->kind = kind;
  copy->companions = companions;
  copy->exif_date = exif_date;
  return copy;
}

bool pic_Item::HasSoundNote() const {
  for (const Companion& companion : companions)
    if (companion.kind == FileKind::kSound) return true;
  return false;
}

uint64_t pic_Item::TotalSize() const {
  uint64_t total = size;
  for (const Companion& companion : companions) total += companion.size;
  return total;
}

PictureId pic_Item::NextId() {
  static std::atomic<PictureId> next{1};
  return next++;
}

void pic_Item::set_Bitmap(kit::Bitmap* bitmap) {
  if (bitmap == thumbnail_.get()) return;
  thumbnail_.reset(bitmap);
}

namespace {

// A row without a thumbnail keeps the room of a 160 x 120 one.
constexpr int kEmptyRowHeight = 127;
// Below the thumbnail's last pixel row: 4 pixels of margin above it, 4 below.
constexpr int kThumbnailMargin = 8;

int RowHeightFor(const kit::Bitmap& thumbnail) {
  return thumbnail.Height() - 1 + kThumbnailMargin;
}

}  // namespace

void pic_Item::Update() {
  height = thumbnail_ ? RowHeightFor(*thumbnail_) : kEmptyRowHeight;
}

void pic_Item::Rotate(int angle) {
  if (!thumbnail_ || (angle != 90 && angle != 270)) return;
  set_Bitmap(kit::TurnedQuarter(*thumbnail_, angle == 90));
  height = RowHeightFor(*thumbnail_);
}

int pic_compareFunc(const pic_Item** a, const pic_Item** b) {
  if ((*a)->date < (*b)->date) return 1;
  if ((*a)->date > (*b)->date) return -1;
  return 0;
}

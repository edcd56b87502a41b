#include "app/pic_Item.h"

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

void pic_Item::set_Bitmap(kit::Bitmap* bitmap) {
  if (bitmap == thumbnail_.get()) return;
  thumbnail_.reset(bitmap);
}

int pic_compareFunc(const pic_Item** a, const pic_Item** b) {
  if ((*a)->date < (*b)->date) return 1;
  if ((*a)->date > (*b)->date) return -1;
  return 0;
}

// One picture on the camera: the record the protocol fills and one row of the picture list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/FileKind.h"
#include "kit/Bitmap.h"

// A record's identity for as long as the program runs: never given to another record, so a
// run that remembers it cannot mistake a newer record at the same address for it.
using PictureId = uint64_t;

// A file that goes with a record's main file wherever it goes: the thumbnail file of a raw
// picture or movie, the sound note of a picture or raw picture.
struct Companion {
  std::string name;  // camera path
  FileKind kind = FileKind::kOther;
  uint32_t attributes = 0;  // the camera's attribute byte of the file itself
  uint32_t size = 0;
  uint32_t date = 0;
};

class pic_Item {
 public:
  pic_Item() = default;
  pic_Item(const char* name, unsigned long attributes, unsigned long size, unsigned long date,
           kit::Bitmap* thumbnail, unsigned long xres, unsigned long yres);
  ~pic_Item() = default;

  pic_Item(const pic_Item&) = delete;
  pic_Item& operator=(const pic_Item&) = delete;

  // The picture's facts in a record of their own, with an identity of its own and no
  // thumbnail: for work on the picture that must not reach its row.
  std::unique_ptr<pic_Item> Copy() const;

  void set_Name(const char* name) { name_ = name ? name : ""; }
  void set_Attrs(unsigned long value) { attributes = uint32_t(value); }
  void set_Date(unsigned long value) { date = uint32_t(value); }
  void set_Size(unsigned long value) { size = uint32_t(value); }
  void set_XRes(unsigned long value) { xres = uint32_t(value); }
  void set_YRes(unsigned long value) { yres = uint32_t(value); }
  void set_Flash(unsigned long value) { flash = uint32_t(value); }
  void set_Orientation(unsigned long value) { orientation = uint32_t(value); }
  // Takes ownership; the bitmap already held is kept when passed again.
  void set_Bitmap(kit::Bitmap* bitmap);

  // Row geometry. The font is not consulted: the row is as high as its thumbnail.
  void Update();
  // A quarter turn of the thumbnail: 90 clockwise, 270 counter-clockwise; other angles and a
  // record without a thumbnail are left alone. The orientation code is the caller's.
  void Rotate(int angle);

  const char* GetName() const { return name_.c_str(); }
  PictureId Id() const { return id_; }
  kit::Bitmap* Thumbnail() const { return thumbnail_.get(); }
  bool Deletable() const { return (attributes & 0x01) == 0; }
  // Bit 0 of the EXIF Flash value says whether the flash fired; the others tell its mode.
  bool FlashFired() const { return (flash & 0x01) != 0; }
  bool HasSoundNote() const;
  // The bytes a download of the row moves: the main file and its companions.
  uint64_t TotalSize() const;
  // The date the file was made by the camera's clock: the EXIF date of a raw picture's or
  // movie's thumbnail file where it gives one, else the listing's.
  uint32_t TakenDate() const { return exif_date != 0 ? exif_date : date; }

  // Camera attribute bits.
  static constexpr uint32_t kProtected = 0x01;
  static constexpr uint32_t kNew = 0x20;

  uint32_t attributes = 0;
  uint32_t date = 0;
  uint32_t size = 0;
  uint32_t xres = 0;
  uint32_t yres = 0;
  uint32_t flash = 0;
  uint32_t orientation = 0;
  int height = 0;  // of the row, in pixels; set by Update and Rotate
  FileKind kind = FileKind::kPicture;
  std::vector<Companion> companions;  // in the order they are downloaded
  uint32_t exif_date = 0;             // from a thumbnail file's EXIF; 0 when none

 private:
  static PictureId NextId();

  PictureId id_ = NextId();
  std::string name_;
  std::unique_ptr<kit::Bitmap> thumbnail_;
};

// Newest first: 1 when a is older than b, -1 when newer, 0 when equal (unsigned dates).
int pic_compareFunc(const pic_Item** a, const pic_Item** b);

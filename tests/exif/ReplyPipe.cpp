#include "tests/exif/ReplyPipe.h"

#include <gtest/gtest.h>
#include <cstring>

#include "app/pic_Item.h"
#include "exif/ixus_exifparse.h"

namespace exiftest {

namespace {
constexpr const char* kNode = "/dev/bus/usb/001/001";
}

ReplyPipe::ReplyPipe(std::vector<uint8_t> bytes, std::vector<uint32_t> pieces)
    : platform_(std::make_shared<sim::SimPlatform>()) {
  kit::InstallPlatform(platform_);
  stream_ = sim::PlugStream(*platform_, kNode, std::move(bytes), std::move(pieces));
  device_ = std::make_unique<USBDevice>(kNode);
  if (device_->InitCheck() == 0 && device_->SetConfiguration(device_->ConfigurationAt(0)) == 0)
    endpoint_ = device_->ActiveConfiguration()->InterfaceAt(0)->EndpointAt(0);
  EXPECT_NE(endpoint_, nullptr);
}

bool ReplyPipe::Parse(unsigned long length, pic_Item* picture, kit::ByteStream* thumbnail) {
  std::memset(buffer_, 0xFF, sizeof buffer_);
  return ixus_exifparse(endpoint_, buffer_, thumbnail, length, picture);
}

Parsed ParseReply(const std::vector<uint8_t>& reply, std::vector<uint32_t> pieces) {
  ReplyPipe pipe(reply, std::move(pieces));
  pic_Item picture;
  kit::ByteStream thumbnail;
  Parsed parsed;
  parsed.ok = pipe.Parse(reply.size(), &picture, &thumbnail);
  parsed.xres = picture.xres;
  parsed.yres = picture.yres;
  parsed.flash = picture.flash;
  parsed.orientation = picture.orientation;
  parsed.thumbnail.assign(thumbnail.Data(), thumbnail.Data() + thumbnail.Size());
  parsed.unread = pipe.Unread();
  return parsed;
}

}  // namespace exiftest

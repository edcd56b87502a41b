// ixus_exifparse on any reply, read in any pieces, empty reads included, from a camera that
// may stop sending early.
#include <cstdlib>
#include <memory>

#include "app/pic_Item.h"
#include "exif/ixus_exifparse.h"
#include "fuzz/ExifFuzzInput.h"
#include "sim/SimPlatform.h"
#include "sim/StreamDevice.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr const char* kNode = "/dev/bus/usb/001/001";
  fuzzinput::ExifInput input = fuzzinput::Decode(data, size);
  size_t sent = input.reply.size();
  auto platform = std::make_shared<sim::SimPlatform>();
  kit::InstallPlatform(platform);
  auto stream = sim::PlugStream(*platform, kNode, std::move(input.reply), input.pieces);
  stream->KeepTransfers(false);
  USBDevice device(kNode);
  if (device.SetConfiguration(device.ConfigurationAt(0)) != 0) abort();
  const USBEndpoint* endpoint = device.ActiveConfiguration()->InterfaceAt(0)->EndpointAt(0);

  auto buffer = std::make_unique<unsigned char[]>(5200);
  pic_Item picture;
  kit::ByteStream thumbnail;
  bool ok =
      ixus_exifparse(endpoint, buffer.get(), &thumbnail, sent + input.promised_extra, &picture);
  // A reply that parsed was read to its end; the thumbnail comes out of the reply.
  if (ok && (stream->Remaining() != 0 || input.promised_extra != 0)) abort();
  if (thumbnail.Size() > sent) abort();
  return 0;
}

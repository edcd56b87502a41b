#include "camera/ixus_init.h"

#include <cstdio>
#include <cstring>

#include "camera/CameraHost.h"
#include "camera/err_req.h"
#include "camera/ixus_command.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "models/CameraModels.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

char flashdevice[20];

namespace {

bool HandshakeFailed(int step) {
  char alert[64];
  snprintf(alert, sizeof alert, "Could not initialize the camera (%d)", step);
  err_req(alert);
  fprintf(stderr, "Error in init %d\n", step);
  return false;
}

bool Handshake(USBDevice* device, const USBEndpoint* pipe, unsigned char* buffer) {
  buffer[0] = 0;
  if (device->ControlTransfer(0xC0, ixus_request(1), 0x55, 0, 1, buffer) == -1)
    return HandshakeFailed(1);
  memset(buffer, 0, 88);
  if (device->ControlTransfer(0xC0, ixus_request(88), 0x01, 0, 88, buffer) == -1)
    return HandshakeFailed(2);
  // The last 16 bytes of the answer go back unchanged.
  if (device->ControlTransfer(0x40, ixus_request(16), 0x11, 0, 16, buffer + 72) == -1)
    return HandshakeFailed(3);
  memset(buffer, 0, 68);
  if (pipe->BulkTransfer(buffer, 68) == -1) {
    ixus_resync(pipe, buffer, kRestUnknown);
    return HandshakeFailed(4);
  }
  return true;
}

}  // namespace

bool ixus_supported(uint16_t product) {
  return models::FindModel(product) != nullptr;
}

bool ixus_init(USBDevice* device, bool loadPictures) {
  unsigned char* buffer = Host().CameraBuffer();
  device->SetConfiguration(device->ConfigurationAt(0));
  const USBEndpoint* pipe = ixus_inpipe(device);
  if (pipe == nullptr) {
    fputs("did not get an input endpoint.\n", stderr);
    return false;
  }
  if (device->VendorID() != kCanonVendor) return false;
  Host().SetProductID(device->ProductID());
  if (!ixus_supported(device->ProductID())) {
    // Plugged in and ignored without a word, the camera would look broken.
    fprintf(stderr, "%s\n", models::UnreadableCameraText(device->ProductID()).c_str());
    Host().UnreadableCamera(device->ProductID());
    return false;
  }
  if (!Handshake(device, pipe, buffer)) return false;
  if (!loadPictures) return false;

  const char* drive = ixus_flashdevice(device, buffer);
  ixus_direntry* listing = ixus_getdir(device, buffer, drive);
  if (listing == nullptr) {
    // A camera that shows nothing without a word looks empty: its pictures are not.
    err_req("The camera could not be read. Unplug it and plug it in again.");
    return false;
  }
  Host().clear_list();
  ixus_getthumbs(device, buffer, listing);
  ixus_freedir(listing);
  return true;
}

const char* ixus_flashdevice(USBDevice* device, unsigned char* buffer) {
  const USBEndpoint* pipe = ixus_inpipe(device);
  // The disk information names the drive the listing used: never a camera's before this one.
  flashdevice[0] = '\0';
  if (Host().ProductID() == kG1Product) {
    fputs("G1 detected, skipping flash device name check.\n", stderr);
    return nullptr;
  }
  memset(buffer, 0, 96);
  fillcmdblk(buffer, 16, 10, 0x11, kDataReply, kCommandTag);
  if (ixus_sendcmd(device, buffer) == -1) {
    fputs("Could not get flash device name (1).\n", stderr);
    return nullptr;
  }
  if (pipe == nullptr) {
    fputs("Could not get flash device name (4).\n", stderr);
    return nullptr;
  }
  // The name is read into the buffer whole: a longer reply is no flash device name.
  int64_t length = ixus_dataheader(pipe, buffer, 0, kCameraBufferSize);
  if (length == -1) {
    fputs("Could not get flash device name (2).\n", stderr);
    return nullptr;
  }
  if (ixus_readfull(pipe, buffer, uint32_t(length)) == -1) {
    ixus_resync(pipe, buffer, kRestUnknown);
    fputs("Could not get flash device name (3).\n", stderr);
    return nullptr;
  }
  size_t name = strnlen(reinterpret_cast<const char*>(buffer), size_t(length));
  // An empty name would leave the listing without a drive: the listing's own default serves.
  if (name == 0) return nullptr;
  if (name > sizeof flashdevice - 1) name = sizeof flashdevice - 1;
  memcpy(flashdevice, buffer, name);
  flashdevice[name] = '\0';
  return flashdevice;
}

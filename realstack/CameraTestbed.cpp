#include "realstack/CameraTestbed.h"

#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>

namespace realstack {

namespace {

constexpr const char* kHubNode = "/dev/bus/usb/001/001";
constexpr const char* kCameraNode = "/dev/bus/usb/001/002";

std::string NodeFile(UMockdevTestbed* testbed, const char* node) {
  return std::string(umockdev_testbed_get_root_dir(testbed)) + node;
}

// The testbed records a node's numbers but (in the installed version) leaves the file out,
// and the preload library serves only nodes whose file exists under the testbed's root.
void CreateNode(UMockdevTestbed* testbed, const char* node) {
  std::string file = NodeFile(testbed, node);
  gchar* folder = g_path_get_dirname(file.c_str());
  bool made =
      g_mkdir_with_parents(folder, 0755) == 0 && g_file_set_contents(file.c_str(), "", 0, nullptr);
  g_free(folder);
  if (!made) {
    fprintf(stderr, "could not create the node %s\n", file.c_str());
    std::exit(2);
  }
}

std::string Hex4(uint16_t value) {
  char text[8];
  snprintf(text, sizeof text, "%04x", value);
  return text;
}

}  // namespace

CameraTestbed::CameraTestbed(std::shared_ptr<sim::SimCamera> camera)
    : camera_(std::move(camera)), testbed_(umockdev_testbed_new()) {
  gchar* hub = umockdev_testbed_add_device(
      testbed_, "usb", "usb1", nullptr, "busnum", "1", "devnum", "1", "idVendor", "1d6b",
      "idProduct", "0002", "bDeviceClass", "09", "speed", "480", "dev", "189:0", nullptr, "DEVNAME",
      "/dev/bus/usb/001/001", "DEVTYPE", "usb_device", "BUSNUM", "001", "DEVNUM", "001", "MAJOR",
      "189", "MINOR", "0", nullptr);
  if (hub == nullptr) {
    fputs("could not add the root hub\n", stderr);
    std::exit(2);
  }
  hub_path_ = hub;
  g_free(hub);
  CreateNode(testbed_, kHubNode);
}

CameraTestbed::~CameraTestbed() {
  if (Plugged()) Unplug();
  g_object_unref(testbed_);
}

void CameraTestbed::Plug() {
  if (Plugged()) return;
  camera_->Connect();
  adapter_ = std::make_unique<UsbfsAdapter>(camera_, 2);
  GError* error = nullptr;
  if (!umockdev_testbed_attach_ioctl(testbed_, kCameraNode, adapter_->Handler(), &error)) {
    fprintf(stderr, "could not attach the usbfs adapter: %s\n", error->message);
    std::exit(2);
  }
  uint8_t device[18];
  camera_->DeviceDescriptor(device);
  std::vector<uint8_t> blob = adapter_->DescriptorBlob();
  gchar* path = umockdev_testbed_add_device(
      testbed_, "usb", "1-1", hub_path_.c_str(), "busnum", "1", "devnum", "2", "idVendor",
      Hex4(uint16_t(device[8] | device[9] << 8)).c_str(), "idProduct",
      Hex4(uint16_t(device[10] | device[11] << 8)).c_str(), "speed", "12", "dev", "189:1", nullptr,
      "DEVNAME", kCameraNode, "DEVTYPE", "usb_device", "BUSNUM", "001", "DEVNUM", "002", "MAJOR",
      "189", "MINOR", "1", nullptr);
  camera_path_ = path;
  g_free(path);
  CreateNode(testbed_, kCameraNode);
  umockdev_testbed_set_attribute_binary(testbed_, camera_path_.c_str(), "descriptors", blob.data(),
                                        int(blob.size()));
}

void CameraTestbed::Unplug() {
  if (!Plugged()) return;
  umockdev_testbed_uevent(testbed_, camera_path_.c_str(), "remove");
  camera_->Unplug();
  umockdev_testbed_remove_device(testbed_, camera_path_.c_str());
  g_remove(NodeFile(testbed_, kCameraNode).c_str());
  umockdev_testbed_detach_ioctl(testbed_, kCameraNode, nullptr);
  camera_path_.clear();
}

}  // namespace realstack

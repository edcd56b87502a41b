#include "sim/usbfs/CameraTestbed.h"

#include <fcntl.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

constexpr unsigned kOpenMode = 0666;

[[noreturn]] void Fail(const std::string& what) {
  fprintf(stderr, "testbed: %s\n", what.c_str());
  std::exit(2);
}

std::string Format(const char* format, unsigned value) {
  char text[16];
  snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

// Read by the leak checker of a sanitized build only. umockdev's testbed keeps a few small
// glib allocations to the exit (three of 21 bytes with a hub and a camera); glib has no
// frame pointers, so the report ends at g_malloc and cannot name the testbed more closely.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:g_malloc\n";
}

CameraTestbed::CameraTestbed(std::shared_ptr<SimCamera> camera)
    : testbed_(umockdev_testbed_new()),
      hub_{std::make_shared<SimDevice>(MakeHubSet()), nullptr, "/dev/bus/usb/001/001", "", 1},
      camera_{std::move(camera), nullptr, "/dev/bus/usb/001/002", "", 2} {
  Attach(hub_);
  Attach(camera_);
  Add(hub_, "usb1", "", kOpenMode);
}

CameraTestbed::~CameraTestbed() {
  Unplug();
  for (Served* served : {&camera_, &hub_})
    umockdev_testbed_detach_ioctl(testbed_, served->node.c_str(), nullptr);
  g_object_unref(testbed_);
}

void CameraTestbed::Attach(Served& served) {
  served.adapter = std::make_unique<UsbfsAdapter>(served.device, served.devnum);
  GError* error = nullptr;
  if (!umockdev_testbed_attach_ioctl(testbed_, served.node.c_str(), served.adapter->Handler(),
                                     &error))
    Fail("could not attach the usbfs adapter: " + std::string(error->message));
}

std::string CameraTestbed::NodeFile(const Served& served) const {
  return std::string(umockdev_testbed_get_root_dir(testbed_)) + served.node;
}

void CameraTestbed::Add(Served& served, const char* name, const std::string& parent,
                        unsigned mode) {
  uint8_t device[18];
  if (!served.device->DeviceDescriptor(device).Ok()) Fail("no device descriptor");
  std::string vendor = Format("%04x", unsigned(device[8] | device[9] << 8));
  std::string product = Format("%04x", unsigned(device[10] | device[11] << 8));
  std::string device_class = Format("%02x", device[4]);
  std::string devnum = Format("%u", served.devnum);
  std::string padded = Format("%03u", served.devnum);
  std::string numbers = Format("189:%u", served.devnum - 1u);
  gchar* path = umockdev_testbed_add_device(
      testbed_, "usb", name, parent.empty() ? nullptr : parent.c_str(), "busnum", "1", "devnum",
      devnum.c_str(), "idVendor", vendor.c_str(), "idProduct", product.c_str(), "bDeviceClass",
      device_class.c_str(), "speed", "12", "dev", numbers.c_str(), nullptr, "DEVNAME",
      served.node.c_str(), "DEVTYPE", "usb_device", "BUSNUM", "001", "DEVNUM", padded.c_str(),
      nullptr);
  if (path == nullptr) Fail(std::string("could not add ") + name);
  served.sysfs = path;
  g_free(path);
  std::vector<uint8_t> blob = served.adapter->DescriptorBlob();
  umockdev_testbed_set_attribute_binary(testbed_, served.sysfs.c_str(), "descriptors", blob.data(),
                                        int(blob.size()));
  served.adapter->Enumerate();
  // The testbed records the node's numbers but makes no file, and the preload library
  // serves only nodes whose file exists below the testbed's root. Made in place, as udev
  // makes a node: a watcher must not see a temporary name.
  std::string file = NodeFile(served);
  gchar* folder = g_path_get_dirname(file.c_str());
  bool made = g_mkdir_with_parents(folder, 0755) == 0;
  g_free(folder);
  int fd = made ? open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode) : -1;
  if (fd < 0 || fchmod(fd, mode) != 0 || close(fd) != 0) Fail("could not create the node " + file);
}

void CameraTestbed::Plug(bool locked) {
  if (Plugged()) return;
  camera_.device->Connect();
  Add(camera_, "1-1", hub_.sysfs, locked ? 0 : kOpenMode);
}

void CameraTestbed::Grant() {
  if (Plugged() && g_chmod(NodeFile(camera_).c_str(), kOpenMode) != 0)
    Fail("could not change the node's mode");
}

void CameraTestbed::Unplug() {
  if (!Plugged()) return;
  umockdev_testbed_uevent(testbed_, camera_.sysfs.c_str(), "remove");
  camera_.device->Unplug();
  umockdev_testbed_remove_device(testbed_, camera_.sysfs.c_str());
  g_remove(NodeFile(camera_).c_str());
  camera_.sysfs.clear();
}

}  // namespace sim

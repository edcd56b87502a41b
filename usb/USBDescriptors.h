// The standard USB descriptors, byte for byte as the device delivers them.
#pragma once

#include <cstdint>

#pragma pack(push, 1)

struct usb_device_descriptor {
  uint8_t bLength;
  uint8_t bDescriptorType;
  uint16_t bcdUSB;
  uint8_t bDeviceClass;
  uint8_t bDeviceSubClass;
  uint8_t bDeviceProtocol;
  uint8_t bMaxPacketSize0;
  uint16_t idVendor;
  uint16_t idProduct;
  uint16_t bcdDevice;
  uint8_t iManufacturer;
  uint8_t iProduct;
  uint8_t iSerialNumber;
  uint8_t bNumConfigurations;
};

struct usb_configuration_descriptor {
  uint8_t bLength;
  uint8_t bDescriptorType;
  uint16_t wTotalLength;
  uint8_t bNumInterfaces;
  uint8_t bConfigurationValue;
  uint8_t iConfiguration;
  uint8_t bmAttributes;
  uint8_t MaxPower;
};

struct usb_interface_descriptor {
  uint8_t bLength;
  uint8_t bDescriptorType;
  uint8_t bInterfaceNumber;
  uint8_t bAlternateSetting;
  uint8_t bNumEndpoints;
  uint8_t bInterfaceClass;
  uint8_t bInterfaceSubClass;
  uint8_t bInterfaceProtocol;
  uint8_t iInterface;
};

struct usb_endpoint_descriptor {
  uint8_t bLength;
  uint8_t bDescriptorType;
  uint8_t bEndpointAddress;
  uint8_t bmAttributes;
  uint16_t wMaxPacketSize;
  uint8_t bInterval;
};

struct usb_string_descriptor {
  uint8_t bLength;
  uint8_t bDescriptorType;
  uint16_t string[1];  // UTF-16LE code units; the record runs on to bLength
};

struct usb_descriptor {
  uint8_t bLength;
  uint8_t bDescriptorType;
  uint8_t data[1];
};

#pragma pack(pop)

static_assert(sizeof(usb_device_descriptor) == 18);
static_assert(sizeof(usb_configuration_descriptor) == 9);
static_assert(sizeof(usb_interface_descriptor) == 9);
static_assert(sizeof(usb_endpoint_descriptor) == 7);

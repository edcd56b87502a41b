// Recognising a supported camera and starting a session with it.
#pragma once

#include <cstdint>

#include "models/CameraModels.h"

class USBDevice;

// The camera's storage name as it reports it: at most 19 characters; empty until a camera
// has answered.
extern char flashdevice[20];

constexpr uint16_t kCanonVendor = models::kCanonVendor;
constexpr uint16_t kG1Product = 0x3048;

// Whether the model table holds the product.
bool ixus_supported(uint16_t product);

// The handshake; with `loadPictures` also the listing and every thumbnail into the list.
bool ixus_init(USBDevice* device, bool loadPictures);
const char* ixus_flashdevice(USBDevice* device, unsigned char* buffer);

// Emptying an input pipe whose sender is out of step with its reader.
#pragma once

#include <cstdint>

class USBEndpoint;

// Reads through `buffer` (at least kDrainPiece bytes) until a read brings nothing or fails:
// the device has nothing left to send.
void DrainPipe(const USBEndpoint* pipe, unsigned char* buffer);

// Drain reads ask for whole 64-byte packets, so that a device sending a full packet never
// overflows them.
constexpr uint32_t kDrainPiece = 4096;

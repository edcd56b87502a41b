#include "usb/ReadAhead.h"

#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

ReadAhead::ReadAhead(const USBEndpoint* pipe, uint64_t total, uint32_t piece) : pipe_(pipe) {
  if (pipe_ != nullptr) pipe_->Device()->StartReadAhead(pipe_, total, piece);
}

ReadAhead::~ReadAhead() {
  if (pipe_ != nullptr) pipe_->Device()->EndReadAhead(pipe_);
}

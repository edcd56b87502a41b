#include "usb/USBRoster.h"

#include "usb/USBRosterLooper.h"

USBRoster::~USBRoster() {
  Stop();
}

void USBRoster::Start() {
  if (looper_ == nullptr) looper_ = new USBRosterLooper(this);
}

void USBRoster::Stop() {
  if (looper_ == nullptr) return;
  looper_->Lock();
  looper_->DestroyTree();
  looper_->Unlock();
  looper_->Quit();
  delete looper_;
  looper_ = nullptr;
}

// The message codes the application and its windows exchange.
#pragma once

#include "kit/Message.h"

constexpr uint32_t kReadyToRun = kit::FourCC("_RTR");
constexpr uint32_t kQuitRequested = kit::FourCC("_QRQ");
constexpr uint32_t kRefsReceived = kit::FourCC("_RRC");
constexpr uint32_t kCancel = kit::FourCC("_CNC");
constexpr uint32_t kSelectCurrent = kit::FourCC("slct");
constexpr uint32_t kSave = kit::FourCC("SAVE");
constexpr uint32_t kSetOwner = kit::FourCC("SETO");

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
// From the attributes window: "downloaded" and "protected" (int32 choices: 0 Ignore, 1 Unset,
// 2 Set) for the selected pictures.
constexpr uint32_t kApplyAttributes = kit::FourCC("OKBT");
// From the upload panel: the chosen file under "refs".
constexpr uint32_t kUpload = kit::FourCC("UPLO");
// From the main window, to run on the application thread: the confirmed delete of the
// selection, and reading the camera for its information window.
constexpr uint32_t kDeleteSelected = kit::FourCC("DELS");
constexpr uint32_t kCameraInfo = kit::FourCC("CAMI");

// Choice codes of the attributes window.
constexpr int32_t kIgnore = 0;
constexpr int32_t kUnset = 1;
constexpr int32_t kSet = 2;

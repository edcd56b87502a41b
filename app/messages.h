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
// From the camera information window's "Set clock": the computer's local time to the camera.
constexpr uint32_t kSetClock = kit::FourCC("SETC");
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

// The main window's commands, from its menus and buttons (and from other programs).
constexpr uint32_t kDownloadCommand = kit::FourCC("DOWN");
// "Download and delete…": asked once, then each picture safe on disk leaves the camera.
constexpr uint32_t kDownloadDeleteCommand = kit::FourCC("DODL");
constexpr uint32_t kAttributesCommand = kit::FourCC("ATTR");
constexpr uint32_t kRotateRight = kit::FourCC("ROTR");
constexpr uint32_t kRotateLeft = kit::FourCC("ROTL");
constexpr uint32_t kDeleteCommand = kit::FourCC("DELB");
constexpr uint32_t kAboutCommand = kit::FourCC("ABOU");
constexpr uint32_t kQuitCommand = kit::FourCC("QUIT");
constexpr uint32_t kSelectAll = kit::FourCC("SALL");
constexpr uint32_t kSelectNew = kit::FourCC("SNEW");
constexpr uint32_t kCameraInfoCommand = kit::FourCC("CAMI");
constexpr uint32_t kUploadCommand = kit::FourCC("UPBT");

// The program around the camera protocol, for tests: the one CameraHost fake.
#pragma once

#include "tests/camera/listing_bytes.h"
#include "tests/support/RecordingHost.h"

namespace listing_test {

using testsupport::RecordingHost;

}  // namespace listing_test

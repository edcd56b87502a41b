// Uploading a file from the computer to the camera.
#pragma once

class USBDevice;

// True when the whole file was sent (or it is empty).
bool ixus_sendfile(USBDevice* camera, unsigned char* buffer, const char* path);

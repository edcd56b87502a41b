// Whether the window is running: it owns its name on the session bus, and with it the camera.
#pragma once

// False when no session bus can be reached: then there is no window to ask either.
bool WindowRunning();

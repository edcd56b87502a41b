// The window's name on the session bus: the application signature's vendor part as a dotted
// name. Other programs of ours look for it to tell whether the window is running.
#pragma once

inline constexpr char kBusName[] = "vnd.morv.pictrove";

// The private request by which the preload shim moves an emulated node's read offset (an
// emulated node is a socket, which has no offset of its own).
#pragma once

namespace sim {

constexpr unsigned long kSeekRequest = 0x40085552;  // _IOW('U', 0x52, uint64_t)

}  // namespace sim

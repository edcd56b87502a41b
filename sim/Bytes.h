// Little- and big-endian numbers in byte buffers: the kit's helpers (kit/Bytes.h).
#pragma once

#include "kit/Bytes.h"

namespace sim {

using kit::AppendLittle32;
using kit::PutLittle16;
using kit::PutLittle32;
using kit::ReadBig16;
using kit::ReadLittle16;
using kit::ReadLittle32;

}  // namespace sim

// Tells whether particular objects have been deleted: the suite replaces the global
// allocation functions, and a watched address is noted when it is freed.
#pragma once

namespace watch {

void Watch(const void* object);
bool Freed(const void* object);

}  // namespace watch

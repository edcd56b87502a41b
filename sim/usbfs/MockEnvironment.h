// A program that builds a testbed must itself run under umockdev's preload library (and
// the seek shim in front of it), and so must everything it starts.
#pragma once

namespace sim {

// Returns when the process already runs under the preload libraries; else runs the same
// program again under them, with the same arguments, and does not return.
void EnterMockEnvironment(char** argv);

}  // namespace sim

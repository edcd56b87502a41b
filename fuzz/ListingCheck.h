// What every parsed listing must be, however broken the bytes it came from: folder links
// that point only back to earlier folders, and a list that walks into camera paths.
// Aborts when it is not.
#pragma once

struct ixus_direntry;

namespace fuzzsupport {

void CheckListing(const ixus_direntry* first);

}  // namespace fuzzsupport

#pragma once
// What the background sync of written files has done so far, for tests and benchmarks.
#include <cstdint>

namespace rt {
// Data syncs (fdatasync) made so far, on the schedule and at CloseFile, over all files.
std::uint64_t fileSyncCount();
// Longest time written data waited for its sync so far [s].
double longestSyncWait();
}  // namespace rt

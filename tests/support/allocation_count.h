// Counts the heap allocations made on the calling thread, through replaced
// global operators new (linked into a suite that uses this).
#pragma once

namespace krtest {

// Starts counting on this thread; Stop ends it and answers the count.
void StartCountingAllocations();
int StopCountingAllocations();

}  // namespace krtest

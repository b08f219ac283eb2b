// Allocation failures on demand for the tests of this folder: the program's operator new is
// replaced so that a chosen allocation throws std::bad_alloc.
#pragma once

namespace ramvel::test {

// From now on the k-th allocation (counting from 1) throws once; 0 stops it.
void FailAllocation(long k);
// Starts (on) or stops (off) counting allocations; returns the count so far.
long CountAllocations(bool on);

}  // namespace ramvel::test

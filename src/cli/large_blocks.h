// Where the C library takes large blocks from.
//
// The program takes every block from 8 MB up from the system and gives it
// back when freed (TakeLargeBlocksFromSystem, called first thing). By
// default the library raises that bound to the size of each large block
// freed, so that a large conversion's lists, freed once checked, would stay
// with the process and add to its peak. (A lower bound costs time in the
// page faults of every fresh block.)
#pragma once

namespace cli {

void TakeLargeBlocksFromSystem();

// While one lives, large blocks come from the heap instead: freed, their
// memory serves the blocks allocated after them rather than going back to
// the system, to be faulted in afresh. For lists let go of while the
// process still grows, not for the ones freed when it is at its largest.
class LargeBlocksFromHeap {
 public:
  LargeBlocksFromHeap();
  ~LargeBlocksFromHeap();  // back to the bound TakeLargeBlocksFromSystem sets
  LargeBlocksFromHeap(const LargeBlocksFromHeap&) = delete;
  LargeBlocksFromHeap& operator=(const LargeBlocksFromHeap&) = delete;
};

}  // namespace cli

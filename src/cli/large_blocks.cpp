#include "cli/large_blocks.h"

#include <malloc.h>

namespace cli {

namespace {
constexpr int kFromSystem = 8 << 20;
constexpr int kFromHeap = 1 << 30;
}  // namespace

void TakeLargeBlocksFromSystem() { mallopt(M_MMAP_THRESHOLD, kFromSystem); }

LargeBlocksFromHeap::LargeBlocksFromHeap() { mallopt(M_MMAP_THRESHOLD, kFromHeap); }

LargeBlocksFromHeap::~LargeBlocksFromHeap() { TakeLargeBlocksFromSystem(); }

}  // namespace cli

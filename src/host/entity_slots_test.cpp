// Slots found by entity id: one per id, in place for good, made safely by
// two threads at once, for ids in every part of the range.
#include "host/entity_slots.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace host {
namespace {

TEST(EntitySlotsTest, EachIdHasOneSlotThatStaysInPlace) {
  EntitySlots<int> slots;
  const std::vector<uint32_t> ids = {0, 1, 65535, 65536, 1000000, UINT32_MAX - 1};
  std::set<int*> seen;
  for (uint32_t id : ids) {
    EXPECT_EQ(slots[id], 0);
    slots[id] = static_cast<int>(id % 1000) + 1;
    seen.insert(&slots[id]);
  }
  EXPECT_EQ(seen.size(), ids.size());
  for (uint32_t id : ids) EXPECT_EQ(slots[id], static_cast<int>(id % 1000) + 1);
}

TEST(EntitySlotsTest, TwoThreadsAskingForTheSameIdsGetTheSameSlots) {
  EntitySlots<int> slots;
  constexpr uint32_t kIds = 200000;
  std::vector<int*> first(kIds), second(kIds);
  std::thread other([&] {
    for (uint32_t id = 0; id < kIds; ++id) second[id] = &slots[id];
  });
  for (uint32_t id = kIds; id-- > 0;) first[id] = &slots[id];
  other.join();
  EXPECT_EQ(first, second);
}

}  // namespace
}  // namespace host

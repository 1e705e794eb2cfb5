#include "host/database/handle_table.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

namespace host {
namespace {

// The table against the standard map, through growth from an empty start,
// with consecutive handles (as drawings have them), random ones, ones
// beyond 32 bits, the handle 0 and the top handle.
TEST(HandleTableTest, AgreesWithAStandardMap) {
  HandleTable<uint32_t> table;
  std::unordered_map<uint64_t, uint32_t> model;
  std::mt19937_64 random(7);
  auto insert = [&](uint64_t handle, uint32_t value) {
    auto [slot, added] = table.Insert(handle, value);
    auto [it, model_added] = model.emplace(handle, value);
    ASSERT_EQ(added, model_added) << handle;
    ASSERT_EQ(*slot, it->second) << handle;
  };
  for (uint64_t h = 0x20; h < 0x20 + 5000; ++h) insert(h, static_cast<uint32_t>(h * 3));
  for (int i = 0; i < 5000; ++i) insert(random() % 100000, static_cast<uint32_t>(i));
  // Beyond 32 bits, including one whose low half is a handle already there.
  for (int i = 0; i < 200; ++i) insert(random() | uint64_t{1} << 40, static_cast<uint32_t>(i));
  insert(uint64_t{1} << 32 | 0x20, 4);
  insert(0, 1);
  insert(0, 2);
  insert(~uint64_t{0}, 9);
  EXPECT_EQ(table.size(), model.size());
  for (const auto& [handle, value] : model) {
    const uint32_t* found = table.Find(handle);
    ASSERT_NE(found, nullptr) << handle;
    EXPECT_EQ(*found, value) << handle;
  }
  for (int i = 0; i < 1000; ++i) {
    uint64_t handle = 200000 + random() % 100000;
    EXPECT_EQ(table.Find(handle), nullptr) << handle;
  }
}

TEST(HandleTableTest, InsertedValuesCanBeChangedInPlace) {
  HandleTable<int> table(4);
  *table.Insert(0x1F, 1).first += 5;
  *table.Insert(0, 1).first += 5;
  EXPECT_EQ(*table.Find(0x1F), 6);
  EXPECT_EQ(*table.Find(0), 6);
}

}  // namespace
}  // namespace host

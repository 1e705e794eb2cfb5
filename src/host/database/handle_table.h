// A table from record handles to small values, for checks that look up
// every record of a drawing: open addressing in two flat arrays, so that a
// million handles cost two allocations rather than a million nodes. Keys
// are held in 32 bits, which every handle of a drawing's usual range fits;
// a handle beyond that goes to a map of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace host {

template <typename Value>
class HandleTable {
 public:
  explicit HandleTable(size_t expected = 0) { Rehash(SlotsFor(expected)); }

  // The value kept for handle, and whether it was added now (a handle
  // already there keeps its value).
  std::pair<Value*, bool> Insert(uint64_t handle, const Value& value) {
    if (handle == 0) {
      bool added = !zero_.has_value();
      if (added) zero_ = value, ++size_;
      return {&*zero_, added};
    }
    if (handle > kNarrowMax) {
      auto [it, added] = wide_.emplace(handle, value);
      size_ += added;
      return {&it->second, added};
    }
    if ((narrow_ + 1) * 4 > keys_.size() * 3) Rehash(keys_.size() * 2);
    uint32_t key = static_cast<uint32_t>(handle);
    size_t slot = Slot(key);
    if (keys_[slot] == key) return {&values_[slot], false};
    keys_[slot] = key;
    values_[slot] = value;
    ++narrow_, ++size_;
    return {&values_[slot], true};
  }

  const Value* Find(uint64_t handle) const {
    if (handle == 0) return zero_ ? &*zero_ : nullptr;
    if (handle > kNarrowMax) {
      auto it = wide_.find(handle);
      return it != wide_.end() ? &it->second : nullptr;
    }
    uint32_t key = static_cast<uint32_t>(handle);
    size_t slot = Slot(key);
    return keys_[slot] == key ? &values_[slot] : nullptr;
  }
  Value* Find(uint64_t handle) { return const_cast<Value*>(std::as_const(*this).Find(handle)); }

  size_t size() const { return size_; }

 private:
  static size_t SlotsFor(size_t expected) {
    size_t slots = 16;
    while (slots * 3 < expected * 4) slots *= 2;
    return slots;
  }

  static constexpr uint64_t kNarrowMax = UINT32_MAX;

  // The slot holding key, or the empty slot where it would go. Handles are
  // mostly consecutive: the multiplication spreads them over the table.
  size_t Slot(uint32_t key) const {
    size_t mask = keys_.size() - 1;
    size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift_) & mask;
    while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) & mask;
    return slot;
  }

  void Rehash(size_t slots) {
    std::vector<uint32_t> keys = std::move(keys_);
    std::vector<Value> values = std::move(values_);
    keys_.assign(slots, 0);
    values_.assign(slots, Value{});
    shift_ = 64;
    for (size_t s = slots; s > 1; s /= 2) --shift_;
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] == 0) continue;
      size_t slot = Slot(keys[i]);
      keys_[slot] = keys[i];
      values_[slot] = std::move(values[i]);
    }
  }

  std::vector<uint32_t> keys_;  // 0 marks an empty slot; handle 0 lives in zero_
  std::vector<Value> values_;
  std::optional<Value> zero_;
  std::unordered_map<uint64_t, Value> wide_;  // handles beyond 32 bits
  size_t narrow_ = 0;                         // handles in keys_
  size_t size_ = 0;
  int shift_ = 64;
};

}  // namespace host

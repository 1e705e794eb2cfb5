// A table from record handles to small values, for checks that look up
// every record of a drawing: open addressing in two flat arrays, so that a
// million handles cost two allocations rather than a million nodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    if ((size_ + 1) * 4 > keys_.size() * 3) Rehash(keys_.size() * 2);
    size_t slot = Slot(handle);
    if (keys_[slot] == handle) return {&values_[slot], false};
    keys_[slot] = handle;
    values_[slot] = value;
    ++size_;
    return {&values_[slot], true};
  }

  const Value* Find(uint64_t handle) const {
    if (handle == 0) return zero_ ? &*zero_ : nullptr;
    size_t slot = Slot(handle);
    return keys_[slot] == handle ? &values_[slot] : nullptr;
  }
  Value* Find(uint64_t handle) { return const_cast<Value*>(std::as_const(*this).Find(handle)); }

  size_t size() const { return size_; }

 private:
  static size_t SlotsFor(size_t expected) {
    size_t slots = 16;
    while (slots * 3 < expected * 4) slots *= 2;
    return slots;
  }

  // The slot holding handle, or the empty slot where it would go. Handles
  // are mostly consecutive: the multiplication spreads them over the table.
  size_t Slot(uint64_t handle) const {
    size_t mask = keys_.size() - 1;
    size_t slot = static_cast<size_t>((handle * 0x9E3779B97F4A7C15ULL) >> shift_) & mask;
    while (keys_[slot] != 0 && keys_[slot] != handle) slot = (slot + 1) & mask;
    return slot;
  }

  void Rehash(size_t slots) {
    std::vector<uint64_t> keys = std::move(keys_);
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

  std::vector<uint64_t> keys_;  // 0 marks an empty slot; handle 0 lives in zero_
  std::vector<Value> values_;
  std::optional<Value> zero_;
  size_t size_ = 0;
  int shift_ = 64;
};

}  // namespace host

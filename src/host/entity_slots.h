#pragma once

// Data kept for some of a drawing's entities, found by entity id in two
// array steps rather than through a hash table: at a million entities a
// hash look-up costs a cache miss or two, and it is done for each entity
// every time it is visited.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace host {

// A slot per entity id, made on first use and kept in place for the
// table's life. Two threads may ask for slots at once; a slot itself is
// the caller's to guard.
template <typename T>
class EntitySlots {
 public:
  EntitySlots() : chunks_(new std::atomic<Chunk*>[kChunks]()) {}
  ~EntitySlots() {
    for (size_t i = 0; i < kChunks; ++i) delete chunks_[i].load(std::memory_order_relaxed);
  }
  EntitySlots(const EntitySlots&) = delete;
  EntitySlots& operator=(const EntitySlots&) = delete;

  T& operator[](uint32_t id) {
    std::atomic<T*>& pointer = ChunkOf(id).slots[id & (kChunkSize - 1)];
    if (T* slot = pointer.load(std::memory_order_acquire)) return *slot;
    // Neighbouring ids share a maker, so that slots made in the order of
    // their ids lie side by side.
    Maker& maker = makers_[(id >> kMakerBits) % kMakers];
    std::lock_guard<std::mutex> guard(maker.lock);
    if (T* slot = pointer.load(std::memory_order_relaxed)) return *slot;
    T* slot = &maker.made.emplace_back();
    pointer.store(slot, std::memory_order_release);
    return *slot;
  }

 private:
  static constexpr size_t kChunkBits = 16;
  static constexpr size_t kChunkSize = size_t{1} << kChunkBits;
  static constexpr size_t kChunks = size_t{1} << (32 - kChunkBits);
  // Slots are made under one of several locks, each for runs of 1024
  // neighbouring ids: two threads making slots for different parts of the
  // drawing seldom wait for each other.
  static constexpr size_t kMakers = 16;
  static constexpr size_t kMakerBits = 10;

  struct Chunk {
    std::atomic<T*> slots[kChunkSize] = {};
  };
  struct Maker {
    std::mutex lock;
    std::deque<T> made;  // a deque keeps its elements in place as it grows
  };

  Chunk& ChunkOf(uint32_t id) {
    std::atomic<Chunk*>& pointer = chunks_[id >> kChunkBits];
    if (Chunk* chunk = pointer.load(std::memory_order_acquire)) return *chunk;
    auto made = std::make_unique<Chunk>();
    Chunk* expected = nullptr;
    if (pointer.compare_exchange_strong(expected, made.get(), std::memory_order_acq_rel)) {
      return *made.release();
    }
    return *expected;  // another thread was first
  }

  std::unique_ptr<std::atomic<Chunk*>[]> chunks_;
  Maker makers_[kMakers];
};

}  // namespace host

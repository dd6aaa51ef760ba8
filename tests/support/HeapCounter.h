#pragma once
// Counts the bytes a program holds through operator new: include in exactly one source file of a
// program, which then replaces the global allocation functions. Memory figures come from here
// rather than from what a structure says of itself.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace heap_counter {

inline std::atomic<size_t> live{0};
inline std::atomic<size_t> peak{0};
inline std::atomic<size_t> blocks{0};

// Bytes held now, and the most held since the last ResetPeak; blocks held now.
inline size_t Live() {
  return live.load();
}
inline size_t Blocks() {
  return blocks.load();
}
inline size_t Peak() {
  return peak.load();
}
inline void ResetPeak() {
  peak.store(live.load());
}

// Each block carries its size in front of it, so unsized deletes are counted too.
inline constexpr size_t kHeader = alignof(std::max_align_t);

inline void* Allocate(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  ++blocks;
  const size_t now = live.fetch_add(size) + size;
  size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

inline void Release(void* p) {
  if (!p) return;
  void* block = static_cast<char*>(p) - kHeader;
  live.fetch_sub(*static_cast<size_t*>(block));
  --blocks;
  std::free(block);
}

}  // namespace heap_counter

void* operator new(size_t size) {
  return heap_counter::Allocate(size);
}
void* operator new[](size_t size) {
  return heap_counter::Allocate(size);
}
void operator delete(void* p) noexcept {
  heap_counter::Release(p);
}
void operator delete[](void* p) noexcept {
  heap_counter::Release(p);
}
void operator delete(void* p, size_t) noexcept {
  heap_counter::Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  heap_counter::Release(p);
}

// Fails one chosen allocation of a scenario and counts the blocks it leaves
// behind.  Include in exactly one file of a test executable linked with
// -Wl,--wrap=malloc,--wrap=realloc,--wrap=free; it replaces the global
// operator new and delete.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);
}

namespace failing_allocator {

struct State {
  bool armed = false;
  long countdown = -1;  // allocations to grant before the failing one
  bool hit = false;     // the chosen allocation was refused
  long live = 0;        // blocks allocated minus blocks released while armed
};
inline State state;

inline bool Grant() {
  if (!state.armed || state.countdown < 0 || state.countdown-- > 0) return true;
  state.hit = true;
  return false;
}

inline void* Allocate(size_t size) {
  if (!Grant()) return nullptr;
  void* block = __real_malloc(size ? size : 1);
  if (block && state.armed) ++state.live;
  return block;
}

inline void Release(void* block) {
  if (block && state.armed) --state.live;
  __real_free(block);
}

struct Run {
  bool hit;  // the scenario met the failing allocation
  long leaked;
};

// Within a scenario: refuse the |n|th allocation from now on (from 0); -1
// stops refusing.
inline void FailAllocation(long n) { state.countdown = n; }

// Runs |scenario|, which allocates only in the code under test (no
// assertions), with allocation |n| refused unless it says otherwise.
template <class Scenario>
Run RunFailing(long n, Scenario&& scenario) {
  state = {true, n, false, 0};
  scenario();
  state.armed = false;
  return {state.hit, state.live};
}

}  // namespace failing_allocator

using failing_allocator::Allocate;
using failing_allocator::Release;

extern "C" {
void* __wrap_malloc(size_t size) { return Allocate(size); }
void* __wrap_realloc(void* block, size_t size) {
  if (!block) return Allocate(size);
  return failing_allocator::Grant() ? __real_realloc(block, size) : nullptr;
}
void __wrap_free(void* block) { Release(block); }
}

void* operator new(size_t size) {
  if (void* block = Allocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }

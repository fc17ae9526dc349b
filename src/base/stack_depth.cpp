#include "base/stack_depth.hpp"

#include "base/failure.hpp"

#include <pthread.h>

#include <algorithm>

namespace hipaa {

namespace stack_detail {

thread_local constinit std::uintptr_t floor_address = 0;

std::uintptr_t compute_floor() {
  void* low = nullptr;
  std::size_t size = 0;
  pthread_attr_t attributes;
  bool known = pthread_getattr_np(pthread_self(), &attributes) == 0;
  if (known) {
    known = pthread_attr_getstack(&attributes, &low, &size) == 0;
    pthread_attr_destroy(&attributes);
  }
  if (!known || low == nullptr || size == 0) {
    // Bounds unknown: measure from here and assume the smallest stack a
    // Linux thread is given by default.
    size = std::size_t{8} << 20;
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    floor_address = here - std::min<std::uintptr_t>(here, size - stack_reserve_bytes(size));
    return floor_address;
  }
  // The stack grows down from low + size towards low.
  floor_address = reinterpret_cast<std::uintptr_t>(low) + stack_reserve_bytes(size);
  return floor_address;
}

void raise_exhausted() { raise("Overflow"); }

} // namespace stack_detail

std::size_t stack_reserve_bytes(std::size_t stack_size) {
  return std::min<std::size_t>(std::size_t{1} << 20, stack_size / 4);
}

} // namespace hipaa

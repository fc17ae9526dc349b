// A small seeded generator (SplitMix64) whose sequence is the same on every
// platform and compiler, so that a seed always yields the same log.
#pragma once

#include <cstdint>

namespace hipaa::loggen {

class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // Uniform in [0, bound); bound > 0.  The modulo bias is far below what a
  // synthetic log could show.
  std::uint64_t below(std::uint64_t bound) { return next() % bound; }

  // Uniform in [low, high].
  std::int64_t between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(high - low + 1)));
  }

  // Uniform in [0, 1).
  double fraction() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

  bool chance(double probability) { return fraction() < probability; }

private:
  std::uint64_t state_;
};

} // namespace hipaa::loggen

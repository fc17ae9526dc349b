// The progress line on standard error: instances done of the total, the
// rate and the time left.  The total is counted meanwhile by a thread of
// its own that enumerates the guards without judging anything.
#pragma once

#include "auditor.hpp"
#include "options.hpp"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>

namespace hipaa::report {

class ProgressLine {
public:
  // Shows nothing unless `shown`.
  ProgressLine(bool shown, const Options& options, const CheckedPolicy& policy);
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine();

  // Called with the number of instances written so far.
  void count(std::size_t done);
  // Clears the line.
  void end();

private:
  using Clock = std::chrono::steady_clock;
  void count_instances(const Options& options, const CheckedPolicy& policy);

  bool shown_;
  Clock::time_point start_;
  Clock::time_point last_;
  std::atomic<std::size_t> total_{0};
  std::atomic<bool> counted_{false};
  std::atomic<bool> stop_{false};
  std::thread counter_;
};

} // namespace hipaa::report

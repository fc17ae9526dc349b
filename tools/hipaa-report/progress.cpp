#include "progress.hpp"

#include "../common/count_noun.hpp"
#include "shard_units.hpp"

#include <iostream>

namespace hipaa::report {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(500);

struct CountingStopped {};

} // namespace

ProgressLine::ProgressLine(bool shown, const Options& options, const CheckedPolicy& policy)
    : shown_(shown), start_(Clock::now()), last_(start_) {
  if (!shown_) return;
  counter_ = std::thread([this, &options, &policy] {
    try {
      count_instances(options, policy);
      counted_ = true;
    } catch (...) {
      // Without a total the line shows the count and the rate alone; the
      // report's own run meets and reports any real problem.
    }
  });
}

ProgressLine::~ProgressLine() {
  stop_ = true;
  if (counter_.joinable()) counter_.join();
}

void ProgressLine::count_instances(const Options& options, const CheckedPolicy& policy) {
  // A policy of its own, as the workers have: the counting runs alongside
  // them and the enumeration on the calling thread.
  CheckedPolicy own = private_copy(policy);
  Layout own_layout(top_level_rules(own.formula), own.signature);
  const Catalogue no_catalogue;
  const Decisions none;
  Auditor enumerator(own, own_layout, no_catalogue, options.db, std::nullopt, none);
  // The instances this run judges: a shard's own, found as it finds them.
  auto take = [&](std::size_t driving) {
    if (stop_) throw CountingStopped{};
    return takes(driving, options.shard, options.shards);
  };
  for (const Rule& rule : own_layout.rules()) {
    if (rule.all == nullptr) {
      if (take(0)) ++total_;
      continue;
    }
    enumerator.engine().for_each_solution(*rule.all, take,
                                          [&](const Substitution&, const TermList&) { ++total_; });
  }
}

void ProgressLine::count(std::size_t done) {
  if (!shown_) return;
  Clock::time_point now = Clock::now();
  if (now - last_ < kInterval) return;
  last_ = now;
  double seconds = std::chrono::duration<double>(now - start_).count();
  double rate = done / seconds;
  std::cerr << "\r" << done;
  std::size_t total = total_;
  if (counted_ && total >= done) {
    std::cerr << " of " << tools::count_noun(total, "instance", "instances") << ", "
              << static_cast<long>(rate) << "/s, "
              << static_cast<long>((total - done) / rate) << " s left";
  } else {
    std::cerr << " of " << total << "+ instances, " << static_cast<long>(rate) << "/s";
  }
  std::cerr << "   " << std::flush;
}

void ProgressLine::end() {
  stop_ = true;
  if (shown_ && last_ != start_) std::cerr << "\r\033[K" << std::flush;
}

} // namespace hipaa::report

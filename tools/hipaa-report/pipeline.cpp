#include "pipeline.hpp"

#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace hipaa::report {

namespace {

// Instances travel in batches, so that the threads meet once per batch and
// not once per instance; the batches in flight are bounded, and with them
// the memory the queue and the records waiting for an earlier batch take,
// whatever the log's size.
constexpr std::size_t kBatchSize = 64;
constexpr std::size_t kBatchesInFlight = 64;

struct Instance {
  std::size_t rule;
  std::size_t position;
  Substitution sigma;
  TermList tuple;
};

struct Batch {
  std::size_t sequence = 0; // submission order, which is also the output order
  std::vector<Instance> instances;
};

// The guard is enumerated on the calling thread; the workers judge.
class WorkerPool {
public:
  WorkerPool(std::vector<std::unique_ptr<Auditor>> auditors, const Sink& sink)
      : sink_(sink), auditors_(std::move(auditors)) {
    for (auto& auditor : auditors_) {
      threads_.emplace_back([this, worker = auditor.get()] { work(*worker); });
    }
  }

  ~WorkerPool() { stop(); }

  void submit(std::size_t rule, std::size_t position, const Substitution& sigma,
              const TermList& tuple) {
    filling_.instances.push_back(Instance{rule, position, sigma, tuple});
    if (filling_.instances.size() == kBatchSize) send();
  }

  // Waits for every submitted instance and writes the rest.
  void finish() {
    if (!filling_.instances.empty()) send();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!failure_ && written_ < submitted_) {
      if (!write_ready(lock)) done_changed_.wait(lock);
    }
    if (failure_) std::rethrow_exception(failure_);
  }

  // The diagnostics of the worker that failed, if one did.
  std::string failed_diagnostics() const { return failed_diagnostics_; }

private:
  void send() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!failure_ && submitted_ - written_ >= kBatchesInFlight) {
      if (!write_ready(lock)) done_changed_.wait(lock);
    }
    if (failure_) std::rethrow_exception(failure_);
    filling_.sequence = submitted_++;
    batches_.push_back(std::move(filling_));
    filling_ = Batch{};
    filling_.instances.reserve(kBatchSize);
    work_added_.notify_one();
    write_ready(lock);
  }

  void stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    work_added_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  void work(Auditor& auditor) {
    for (;;) {
      std::unique_lock<std::mutex> lock(mutex_);
      work_added_.wait(lock, [&] { return closing_ || failure_ || !batches_.empty(); });
      if (failure_ || batches_.empty()) return;
      Batch batch = std::move(batches_.front());
      batches_.pop_front();
      lock.unlock();
      try {
        std::vector<Record> records;
        records.reserve(batch.instances.size());
        for (const Instance& instance : batch.instances) {
          records.push_back(
              auditor.judge(instance.rule, instance.position, instance.sigma, instance.tuple));
        }
        lock.lock();
        done_.emplace(batch.sequence, std::move(records));
      } catch (...) {
        if (!lock.owns_lock()) lock.lock();
        if (!failure_) {
          failure_ = std::current_exception();
          failed_diagnostics_ = auditor.diagnostics();
        }
        work_added_.notify_all();
      }
      done_changed_.notify_all();
    }
  }

  // Writes the batches that continue the output in order, with the lock
  // released while writing.  False when none was ready.
  bool write_ready(std::unique_lock<std::mutex>& lock) {
    std::vector<std::vector<Record>> ready;
    for (auto next = done_.find(written_); next != done_.end(); next = done_.find(written_)) {
      ready.push_back(std::move(next->second));
      done_.erase(next);
      ++written_;
    }
    if (ready.empty()) return false;
    lock.unlock();
    for (std::vector<Record>& records : ready) {
      for (Record& record : records) sink_(std::move(record));
    }
    lock.lock();
    return true;
  }

  const Sink& sink_;
  std::vector<std::unique_ptr<Auditor>> auditors_;
  std::vector<std::thread> threads_;
  Batch filling_; // touched by the submitting thread only
  std::mutex mutex_;
  std::condition_variable work_added_;
  std::condition_variable done_changed_;
  std::deque<Batch> batches_;
  std::map<std::size_t, std::vector<Record>> done_;
  std::size_t submitted_ = 0;
  std::size_t written_ = 0;
  bool closing_ = false;
  std::exception_ptr failure_;
  std::string failed_diagnostics_;
};

// Calls `instance(rule, position, sigma, tuple)` for every selected
// instance of every rule, in guard order, on `enumerator`'s engine.
template <class Instance>
void for_each_instance(const Options& options, const Layout& layout, Auditor& enumerator,
                       Instance instance) {
  std::size_t position = 0;
  const Substitution none;
  const TermList no_values;
  for (std::size_t rule = 0; rule < layout.rules().size(); ++rule) {
    const Quantified* all = layout.rules()[rule].all;
    if (all == nullptr) {
      std::size_t here = position++;
      if (here % options.shards == options.shard) instance(rule, here, none, no_values);
      continue;
    }
    enumerator.engine().for_each_solution(*all,
                                          [&](const Substitution& sigma, const TermList& tuple) {
                                            std::size_t here = position++;
                                            if (here % options.shards == options.shard)
                                              instance(rule, here, sigma, tuple);
                                          });
  }
}

} // namespace

void audit_instances(const Options& options, const CheckedPolicy& policy, const Layout& layout,
                     const Sink& sink, std::string& diagnostics) {
  Auditor enumerator(policy, layout, options.db, options.as_of);
  try {
    if (options.jobs == 1) {
      // The instance is judged while the guard's statements are still open,
      // as in a whole reduction.
      for_each_instance(
          options, layout, enumerator,
          [&](std::size_t rule, std::size_t position, const Substitution& sigma,
              const TermList& tuple) { sink(enumerator.judge(rule, position, sigma, tuple)); });
      return;
    }
    std::vector<std::unique_ptr<Auditor>> workers;
    for (unsigned i = 0; i < options.jobs; ++i) {
      workers.push_back(std::make_unique<Auditor>(policy, layout, options.db, options.as_of));
    }
    WorkerPool pool(std::move(workers), sink);
    try {
      for_each_instance(options, layout, enumerator,
                        [&](std::size_t rule, std::size_t position, const Substitution& sigma,
                            const TermList& tuple) { pool.submit(rule, position, sigma, tuple); });
      pool.finish();
    } catch (...) {
      if (diagnostics.empty()) diagnostics = pool.failed_diagnostics();
      throw;
    }
  } catch (...) {
    if (diagnostics.empty()) diagnostics = enumerator.diagnostics();
    throw;
  }
}

} // namespace hipaa::report

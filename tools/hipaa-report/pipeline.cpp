#include "pipeline.hpp"

#include <algorithm>

#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace hipaa::report {

namespace {

// The run's tables in memory, which every thread reads, within the
// --memory budget; none for the tuple engine.
std::unique_ptr<TableStore> table_store(const Options& options) {
  if (!options.set_engine) return nullptr;
  return std::make_unique<TableStore>(options.memory_mib * (std::size_t{1} << 20), options.jobs);
}

// Instances travel in batches, so that the threads meet once per batch and
// not once per instance; the batches in flight are bounded, and with them
// the memory the queue and the records waiting for an earlier batch take,
// whatever the log's size.
constexpr std::size_t kBatchSize = 64;
constexpr std::size_t kBatchesInFlight = 64;

// Made, and released, by the submitting thread: the workers only read it.
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

// A worker: a private copy of the policy and an auditor on it.  It is made
// on the worker's own thread, so that its memory is that thread's too.
struct Worker {
  Worker(const CheckedPolicy& shared, const Catalogue& catalogue, const Options& options,
         const Decisions& decisions, TableStore* tables)
      : policy(private_copy(shared)), layout(top_level_rules(policy.formula), policy.signature),
        auditor(policy, layout, catalogue, options.db, options.as_of, decisions, tables) {}

  CheckedPolicy policy;
  Layout layout;
  Auditor auditor;
};

// A judged batch on its way to the writer, with its instances, which go
// back to the thread that made them.
struct Judged {
  std::vector<Instance> instances;
  std::vector<Record> records;
  std::size_t worker;
};

// The judge of a batch that the submitting thread judged itself.
constexpr std::size_t kSubmitter = static_cast<std::size_t>(-1);

// Batches waiting for a worker beyond which the submitting thread judges
// the next batch itself: enough to keep the workers busy meanwhile.
constexpr std::size_t kQueuedAhead = 4;

// The guard is enumerated on the calling thread, which also judges a batch
// itself, on the enumerating engine, whenever the workers have enough
// queued: N jobs are the calling thread and N - 1 workers, one thread per
// core, and the instances that the calling thread judges meet its engine's
// caches still warm from their guard rows.
//
// Every block of memory is released by the thread that allocated it: the
// instances by the submitting thread once their records are written, the
// records by their worker after the writer is done with them.  Blocks that
// one thread allocates and another frees keep the allocator's arenas and
// their cache lines moving between the cores.
class WorkerPool {
public:
  WorkerPool(const Options& options, const CheckedPolicy& policy, const Catalogue& catalogue,
             const Decisions& decisions, TableStore* tables,
             Auditor& submitter, const Sink& sink)
      : submitter_(submitter), sink_(sink), written_back_(options.jobs - 1) {
    for (unsigned i = 0; i + 1 < options.jobs; ++i) {
      threads_.emplace_back(
          [this, i, &options, &policy, &catalogue, &decisions, tables] {
            work(i, options, policy, catalogue, decisions, tables);
          });
    }
  }

  ~WorkerPool() { stop(); }

  void submit(std::size_t rule, std::size_t position, const Substitution& sigma,
              const TermList& tuple) {
    filling_.instances.push_back(Instance{rule, position, sigma, tuple});
    if (filling_.instances.size() == kBatchSize) send();
  }

  // Judges and writes every instance submitted so far.  A failure is
  // thrown once every instance before it is judged, so that it is the one
  // a single thread would have met first, whichever thread met it.
  void finish() {
    if (!filling_.instances.empty()) send();
    std::unique_lock<std::mutex> lock(mutex_);
    settle(lock);
  }

  // Whether the pool has thrown a failure of its own.
  bool failed() const { return reported_; }

  // What the engine that failed wrote, if one did.
  std::string failed_diagnostics() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_ ? failed_->diagnostics : "";
  }

private:
  // A failure, where it happened in the output order, and what the failing
  // engine wrote.
  struct Failed {
    std::size_t sequence;
    std::size_t index;
    std::exception_ptr error;
    std::string diagnostics;
  };

  void send() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!failed_ && submitted_ - written_ >= kBatchesInFlight) {
      if (!write_ready(lock)) done_changed_.wait(lock);
    }
    if (failed_) settle(lock);
    Batch batch = std::move(filling_);
    filling_ = Batch{};
    filling_.instances.reserve(kBatchSize);
    batch.sequence = submitted_++;
    if (batches_.size() < kQueuedAhead && !threads_.empty()) {
      batches_.push_back(std::move(batch));
      work_added_.notify_one();
    } else {
      lock.unlock();
      std::vector<Record> records;
      records.reserve(batch.instances.size());
      try {
        for (const Instance& instance : batch.instances) {
          records.push_back(
              submitter_.judge(instance.rule, instance.position, instance.sigma, instance.tuple));
        }
      } catch (...) {
        lock.lock();
        note_failure(batch.sequence, records.size(), submitter_.diagnostics());
        done_.emplace(batch.sequence, Judged{std::move(batch.instances), {}, kSubmitter});
        settle(lock);
      }
      lock.lock();
      done_.emplace(batch.sequence,
                    Judged{std::move(batch.instances), std::move(records), kSubmitter});
    }
    write_ready(lock);
  }

  // Returns once every submitted batch is written; throws instead the
  // earliest failure once every batch before it is written.
  void settle(std::unique_lock<std::mutex>& lock) {
    for (;;) {
      if (failed_ && written_ >= failed_->sequence) {
        reported_ = true;
        std::rethrow_exception(failed_->error);
      }
      if (!failed_ && written_ >= submitted_) return;
      if (!write_ready(lock)) done_changed_.wait(lock);
    }
  }

  // Keeps the current exception if it comes before every failure so far.
  void note_failure(std::size_t sequence, std::size_t index, std::string diagnostics) {
    if (!failed_ || std::pair(sequence, index) < std::pair(failed_->sequence, failed_->index)) {
      failed_ = Failed{sequence, index, std::current_exception(), std::move(diagnostics)};
    }
    done_changed_.notify_all();
  }

  void stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    work_added_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  void work(std::size_t index, const Options& options, const CheckedPolicy& policy,
            const Catalogue& catalogue, const Decisions& decisions, TableStore* tables) {
    std::unique_ptr<Worker> worker;
    try {
      worker = std::make_unique<Worker>(policy, catalogue, options, decisions, tables);
    } catch (...) {
      // Before any instance: nothing can come before it.
      std::lock_guard<std::mutex> lock(mutex_);
      note_failure(0, 0, "");
      return;
    }
    for (;;) {
      // Declared before the lock, so released after it is let go.
      std::vector<std::vector<Record>> written;
      std::unique_lock<std::mutex> lock(mutex_);
      work_added_.wait(lock, [&] { return closing_ || !batches_.empty(); });
      written.swap(written_back_[index]);
      if (closing_) return;
      Batch batch = std::move(batches_.front());
      batches_.pop_front();
      // Batches after a failure are not judged, those before it are.
      bool wanted = !failed_ || batch.sequence < failed_->sequence;
      lock.unlock();
      written.clear();
      std::vector<Record> records;
      records.reserve(batch.instances.size());
      try {
        for (std::size_t i = 0; wanted && i < batch.instances.size(); ++i) {
          const Instance& instance = batch.instances[i];
          records.push_back(worker->auditor.judge(instance.rule, instance.position,
                                                  instance.sigma, instance.tuple));
        }
        lock.lock();
      } catch (...) {
        lock.lock();
        note_failure(batch.sequence, records.size(), worker->auditor.diagnostics());
      }
      // The instances go back to the submitting thread.
      done_.emplace(batch.sequence, Judged{std::move(batch.instances), std::move(records), index});
      done_changed_.notify_all();
    }
  }

  // Writes the batches that continue the output in order, up to a failure,
  // with the lock released while writing.  False when none was ready.
  bool write_ready(std::unique_lock<std::mutex>& lock) {
    std::vector<Judged> ready;
    for (auto next = done_.find(written_);
         next != done_.end() && !(failed_ && written_ >= failed_->sequence);
         next = done_.find(written_)) {
      ready.push_back(std::move(next->second));
      done_.erase(next);
      ++written_;
    }
    if (ready.empty()) return false;
    lock.unlock();
    for (Judged& judged : ready) {
      for (Record& record : judged.records) sink_(std::move(record));
      judged.instances.clear();
    }
    lock.lock();
    for (Judged& judged : ready) {
      if (judged.worker != kSubmitter) {
        written_back_[judged.worker].push_back(std::move(judged.records));
      }
    }
    return true;
  }

  Auditor& submitter_;
  const Sink& sink_;
  std::vector<std::thread> threads_;
  Batch filling_; // touched by the submitting thread only
  std::mutex mutex_;
  std::condition_variable work_added_;
  std::condition_variable done_changed_;
  std::deque<Batch> batches_;
  std::map<std::size_t, Judged> done_;
  // Per worker: the records written since it last looked.
  std::vector<std::vector<std::vector<Record>>> written_back_;
  std::size_t submitted_ = 0;
  std::size_t written_ = 0;
  bool closing_ = false;
  std::optional<Failed> failed_; // the earliest failure in output order
  bool reported_ = false;
};

// Calls `instance(rule, position, sigma, tuple)` for every instance of
// every rule, or of `shard` when there is one, in guard order, on
// `enumerator`'s engine.
template <class Instance>
void for_each_instance(const Layout& layout, Auditor& enumerator, ShardEnumeration* shard,
                       Instance instance) {
  if (shard != nullptr) {
    shard->run(enumerator, instance);
    return;
  }
  std::size_t position = 0;
  const Substitution none;
  const TermList no_values;
  for (std::size_t rule = 0; rule < layout.rules().size(); ++rule) {
    const Quantified* all = layout.rules()[rule].all;
    if (all == nullptr) {
      instance(rule, position++, none, no_values);
      continue;
    }
    enumerator.engine().for_each_solution(
        *all, [&](const Substitution& sigma, const TermList& tuple) {
          instance(rule, position++, sigma, tuple);
        });
  }
}

} // namespace

void audit_instances(const Options& options, const CheckedPolicy& policy, const Layout& layout,
                     const Catalogue& catalogue, const Decisions& decisions, const Sink& sink,
                     std::string& diagnostics, ShardEnumeration* shard) {
  // Declared first: the auditors' indexes read it to the end.
  std::unique_ptr<TableStore> tables = table_store(options);
  Auditor enumerator(policy, layout, catalogue, options.db, options.as_of, decisions,
                     tables.get());
  try {
    if (options.jobs == 1) {
      // The instance is judged while the guard's statements are still open,
      // as in a whole reduction.
      for_each_instance(
          layout, enumerator, shard,
          [&](std::size_t rule, std::size_t position, const Substitution& sigma,
              const TermList& tuple) { sink(enumerator.judge(rule, position, sigma, tuple)); });
      return;
    }
    WorkerPool pool(options, policy, catalogue, decisions, tables.get(), enumerator, sink);
    try {
      try {
        for_each_instance(layout, enumerator, shard,
                          [&](std::size_t rule, std::size_t position, const Substitution& sigma,
                              const TermList& tuple) { pool.submit(rule, position, sigma, tuple); });
      } catch (...) {
        // The guard failed.  On one thread every instance before that point
        // would have been judged first, and a failure among them reported.
        if (!pool.failed()) pool.finish();
        throw;
      }
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

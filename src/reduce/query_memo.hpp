// What the queries of table atoms have read so far, so that an atom asked
// again with the same values is answered without SQLite.  An entry fills
// lazily: it holds the rows read up to now and, while the query has not run
// to its end, the statement positioned after them; a later enumeration
// replays the rows and reads on from the statement only when it needs more.
// So no row is read before some enumeration asks for it.  The memo keeps
// the most recently used entries up to a fixed number.
#pragma once

#include "db/statement_pool.hpp"
#include "logic/term.hpp"

#include <cstddef>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace hipaa {

struct MemoEntry {
  // Parsed and checked rows in the order SQLite returned them.  Only the
  // enumeration that walks the entry adds rows, never while a row it handed
  // on is in use.
  std::vector<TermList> rows;
  // The statement after the last row read; absent before the first read
  // and once the query has run to its end.
  std::optional<db::StatementPool::Lease> cursor;
  bool complete = false;
  // An enumeration is walking the entry; another one of the same query
  // meanwhile runs by itself.
  bool in_use = false;
};

class QueryMemo {
public:
  explicit QueryMemo(std::size_t capacity) : capacity_(capacity) {}

  // The entry of `key`, new and empty when it was not kept; it becomes the
  // most recently used, and the least recently used one beyond the
  // capacity is dropped.
  std::shared_ptr<MemoEntry> find_or_add(const std::string& key);

  // Drops the entry of `key`, if kept: its rows cannot be replayed.
  void forget(const std::string& key);

private:
  struct Kept {
    std::string key;
    std::shared_ptr<MemoEntry> entry;
  };

  std::size_t capacity_;
  std::list<Kept> recency_; // most recently used first
  std::unordered_map<std::string_view, std::list<Kept>::iterator> index_;
};

// Queries known to have been read to their end without a value that needed
// repair: when their reader no longer needs solutions, reading them on can
// report nothing, so they may end early.  Bounded: when full, it starts
// afresh.
class QuietQueries {
public:
  explicit QuietQueries(std::size_t capacity) : capacity_(capacity) {}

  bool known(const std::string& key) const { return keys_.count(key) != 0; }
  void add(const std::string& key) {
    if (keys_.size() >= capacity_) keys_.clear();
    keys_.insert(key);
  }

private:
  std::size_t capacity_;
  std::unordered_set<std::string> keys_;
};

} // namespace hipaa

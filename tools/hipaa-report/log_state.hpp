// The state of the log that one run reads.  Every connection of a run
// reads in a read transaction of its own, begun one after the other; a
// writer that commits in between (possible in WAL mode, where readers do
// not block writers) would let one report mix two states of the log.  The
// run therefore notes the log's data version before its first read
// transaction, and every connection checks, once its own has begun, that
// no commit came since: all of them then read the state of that moment.
// The run's own connection keeps its read transaction to the end, which
// also keeps a rollback-journal log from changing meanwhile.
#pragma once

#include "db/sqlite.hpp"

#include <cstdint>
#include <mutex>
#include <string>

namespace hipaa::report {

class LogState {
public:
  // Opens `path` for the run and registers the object as the run's.  With
  // `several_connections` (--jobs > 1), a connection that finds the log
  // changed ends the run; otherwise the change is only noted.
  LogState(const std::string& path, bool several_connections);
  LogState(const LogState&) = delete;
  LogState& operator=(const LogState&) = delete;
  ~LogState();

  // Called by every connection of the run once its read transaction has
  // begun; nothing when no run is registered.  ToolError as above.
  static void check_connection(const std::string& path);

  // Names the state of the log that the run read: a hash of every table's
  // name, columns and rows, read in the run's transaction (shards of one
  // run compare it).  ToolError when a connection of the run found the log
  // changed, so that no single state was read.
  std::string identifier();

private:
  std::int64_t data_version();
  void check(const std::string& path);

  std::string path_;
  bool several_connections_;
  std::mutex mutex_;
  db::Connection watcher_; // outside any transaction: sees every commit
  std::int64_t version_;
  db::Connection held_;    // the run's read transaction
  bool changed_ = false;
};

} // namespace hipaa::report

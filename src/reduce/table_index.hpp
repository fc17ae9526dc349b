// Log tables read once into memory, so that the table atoms of a run are
// answered without a query each.  A table is read on its first lookup, in
// the connection's open read transaction: every stored text is interned,
// and each query shape (the set of constrained columns) gets a sorted list
// of the table's rows, grouped by the constrained values and, within a
// group, in the order SQLite's own plan for that shape returns them (table
// order, or the order of the index it searches).  A row is parsed and
// sort-checked the first time a lookup meets it.  A lookup hands on the
// same rows, as the same terms, in the same order as the query would.
//
// The texts and the sorted rows (a TableStore) are read once per run and
// shared, read-only once made, by the run's threads; each thread's
// TableIndex parses the rows it meets into terms of its own, so that no
// term, and no count of a term's owners, is shared between two threads.
// The texts of all tables share one set of ids: a name or a date that
// occurs in several tables is stored once.  A thread keeps the terms of the
// texts it met last, by id, and the terms of texts that keep coming back
// in its value cache; other texts are parsed again when met again, so that
// its terms take a bounded room however large the log.
//
// A lookup is left to the query (it answers "not indexed") when anything
// could make the two differ: a row of its group whose text needs a repair,
// fails to parse or has the wrong sort (so that the diagnostic or failure
// comes exactly when the query reads it); and a whole table when it holds
// a value that is not plain text, a column whose affinity or collation is
// not plain text, or would not fit in the memory budget, and a shape whose
// plan this reader does not know the order of.
#pragma once

#include "db/sqlite.hpp"
#include "logic/declarations.hpp"
#include "reduce/candidate.hpp"
#include "reduce/text_ids.hpp"
#include "reduce/value_cache.hpp"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa {

// The tables of one run as texts and sorted rows, made on the first lookup
// of a table or shape by whichever thread asks first, on its connection
// (every connection of a run reads the same state of the log).  What a
// lookup returns is never changed afterwards, so threads read it without a
// lock; only making a table or a shape takes one.
class TableStore {
public:
  struct Shape {
    bool usable = false;
    std::vector<std::size_t> keys;   // constrained columns, in column order
    std::vector<std::uint32_t> rows; // by key ids, then in the plan's order
  };

  struct Table {
    bool indexed = false;
    std::size_t columns = 0;
    std::vector<std::uint32_t> cells; // text ids, row by row
    std::size_t ids = 0;              // every cell's id is below it
    std::size_t rows() const { return columns == 0 ? 0 : cells.size() / columns; }
  };

  // `budget` bytes for every table together, counting the terms of
  // `threads` threads.
  TableStore(std::size_t budget, std::size_t threads);
  TableStore(const TableStore&) = delete;
  TableStore& operator=(const TableStore&) = delete;

  // The table of `decl`, read now when it is the first lookup; not
  // `indexed` when it is left to the queries.
  const Table& table(const PredDecl& decl, db::Connection& connection);
  // The shape `mask` of `table` (of `decl`), whose query is `sql`.
  const Shape& shape(const PredDecl& decl, const Table& table, const std::string& mask,
                     FunctionRef<std::string()> sql, db::Connection& connection);

  // Bytes held by the tables read so far.
  std::size_t used();

  // The texts of every table; `text` of an id of a table's cells and
  // `find` may be called at any time.
  const TextIds& texts() const { return texts_; }

private:
  struct Entry {
    Table table;
    std::unordered_map<std::string, Shape> shapes; // by mask
  };

  bool read(const PredDecl& decl, Table& table, db::Connection& connection);
  bool columns_plain(const DbInfo& info, db::Connection& connection);
  Shape make_shape(const PredDecl& decl, const Table& table, const std::string& mask,
                   const std::string& sql, db::Connection& connection);

  std::mutex mutex_;
  std::size_t budget_;
  std::size_t threads_;
  std::size_t used_ = 0;
  std::optional<bool> plain_database_;
  TextIds texts_;
  // By table and columns: the threads' private copies of the policy have
  // declarations of their own.
  std::unordered_map<std::string, Entry> entries_;
};

// One thread's lookups in a TableStore, with the terms of the rows met.
class TableIndex {
public:
  // `store` must outlive the index; the connection must stay in one read
  // transaction for the index's lifetime.
  TableIndex(const Signature& signature, db::Connection& connection, TableStore& store);

  // No text has this id.
  static constexpr std::uint32_t kNoId = UINT32_MAX;
  // A query binds at most this many columns.
  static constexpr std::size_t kMaxKeys = 16;

  // The rows of the table of `decl` whose columns at the '=' positions of
  // `mask` hold `values` (the first `count`), handed to `on_row` as a query
  // of `shape_sql` (the statement the query would run) would hand them.
  // Absent when the table or the shape is left to the queries; else true
  // when the rows ran to their end or `on_row` settled, false when it
  // stopped them.  With `deal`, only the rows it takes are checked and
  // handed on.  `ids` holds the text id of each value where the caller
  // knows it, else kNoId; the ids found are written into it.
  std::optional<bool> query(const PredDecl& decl, const std::string& mask,
                            const std::vector<std::string>& values, std::uint32_t* ids,
                            std::size_t count, FunctionRef<std::string()> shape_sql,
                            FunctionRef<Flow(const TermList&)> on_row, RowDeal* deal = nullptr);

private:
  enum class RowState : std::uint8_t { Unchecked, Good, Bad };

  // What this thread made of one table of the store.
  struct Local {
    const TableStore::Table* table = nullptr;
    std::vector<Sort> sorts;
    std::vector<RowState> row_state;
    std::unordered_map<std::string, const TableStore::Shape*> shapes; // by mask
  };

  // A text's id and term, kept while no other id takes its place.
  struct RecentTerm {
    std::uint32_t id = 0;
    TermPtr term;
  };

  Local& local_of(const PredDecl& decl);
  TermPtr term_of(std::uint32_t id, std::ostream& diagnostics);
  bool row_good(Local& local, std::uint32_t row);
  bool check_row(Local& local, std::uint32_t row);

  const Signature& signature_;
  db::Connection& connection_;
  TableStore& store_;
  ValueCache values_;
  std::vector<RecentTerm> recent_; // by text id modulo its size
  std::vector<bool> unparsable_;   // by text id: the parse failed or repaired
  // What a parse of a row's text once checked writes: nothing.
  std::ostringstream quiet_;
  // Where a row's check writes its diagnostics: only whether it wrote any
  // matters, so it keeps a count instead of the text, and is made once.
  struct CountingBuffer : std::streambuf {
    std::size_t written = 0;
    int_type overflow(int_type c) override {
      ++written;
      return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize count) override {
      written += static_cast<std::size_t>(count);
      return count;
    }
  };
  CountingBuffer check_buffer_;
  std::ostream check_out_{&check_buffer_};
  TermList check_values_;
  std::unordered_map<const PredDecl*, Local> tables_;
};

} // namespace hipaa

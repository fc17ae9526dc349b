// The rows of the log tables that the DB predicates name.  Each query
// shape (a table and the set of its columns that the atom constrains) is
// one prepared statement with the constraining values bound; rows come
// back as parsed, sort-checked terms.  Constrained queries go through the
// query memo, so the same question asked again is answered from the rows
// already read.  A scan of a whole table is never kept: it is streamed.
#pragma once

#include "db/statement_pool.hpp"
#include "logic/declarations.hpp"
#include "reduce/candidate.hpp"
#include "reduce/query_memo.hpp"
#include "reduce/table_index.hpp"
#include "reduce/value_cache.hpp"

#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa {

// Receives the checked values of one row of a table query.
using RowValues = FunctionRef<Flow(const TermList& values)>;

class LogReader {
public:
  LogReader(const Signature& signature, db::Connection& connection, std::ostream& out);

  // Hands the rows of the table of `decl` (a DB predicate with a table)
  // that agree with the closed terms of `args` to `on_row`.  True when the
  // query ran to its end, false when `on_row` stopped it.  With `deal`, the
  // rows it does not take are passed over unread, and the query is asked
  // afresh (neither answered from nor kept in the memo).
  bool query(const PredDecl& decl, const TermList& args, RowValues on_row,
             RowDeal* deal = nullptr);

  // Answers from `index`, which must outlive the reader, the lookups of the
  // tables it holds; the others still query the log.
  void use_index(TableIndex* index) {
    index_ = index;
    value_texts_.clear();
  }

  // How many rows so far wrote a diagnostic (a repaired value) as they were
  // read.  Reading never writes anything else without failing.
  std::size_t diagnostics() const { return diagnostics_; }

private:
  // What is fixed for one DB predicate: its argument sorts and the shapes
  // of its queries met so far, by the mask of constrained arguments.
  struct Table {
    std::vector<Sort> sorts;
    std::unordered_map<std::string, std::size_t> shapes;
  };

  // One query: the predicate, the atom's arguments and the printed values
  // of its closed ones.
  struct Query {
    const PredDecl& decl;
    Table& table;
    const TermList& args;
    const std::string& mask; // '=' for each constrained argument, '-' for the others
    const std::vector<std::string>& values;
    std::size_t value_count;
  };

  // Text buffers of one query, kept from call to call for each depth of
  // nesting, so that asking costs no allocation once they have grown.
  struct Scratch {
    std::string mask;
    std::vector<std::string> values;
    std::uint32_t ids[TableIndex::kMaxKeys];
    std::string key;
  };

  // A printed value, remembered for the term it was printed from (the
  // sender, message and date of a disclosure are asked about again and
  // again), with the id of its text in the index once the index found it.
  struct ValueText {
    TermPtr term;
    std::string text;
    std::uint32_t id = TableIndex::kNoId;
  };

  Table& table_of(const PredDecl& decl);
  ValueText& value_text(const TermPtr& term);
  std::size_t shape_of(const PredDecl& decl, Table& table, const std::string& mask,
                       const TermList& args);
  db::StatementPool::Lease open(const Query& query);
  // Reads the current row of `statement` into `values`; true when a value's
  // parse wrote a diagnostic.
  bool read_row(db::Statement& statement, const Table& table, TermList& values);
  bool stream(const Query& query, RowValues on_row, RowDeal* deal = nullptr);
  bool replay(const Query& query, const std::string& key, RowValues on_row);
  // Reads on from `cursor`.  Once on_row has settled (or from the start when
  // `settled`), rows are read only for what they may report, and the query
  // of `key`, when given, ends there if it is known to report nothing; it
  // becomes known so when it is read to its end without a repaired value.
  bool stream_from(db::StatementPool::Lease& cursor, const Table& table, RowValues on_row,
                   const std::string* key = nullptr, bool settled = false,
                   RowDeal* deal = nullptr);
  bool run_literal(const Query& query, RowValues on_row, RowDeal* deal);
  // Keeps the statement of an entry whose enumeration stopped early open,
  // closing the one kept longest when too many are.
  void park(const std::shared_ptr<MemoEntry>& entry);

  const Signature& signature_;
  db::Connection& connection_;
  std::ostream& out_;
  std::unordered_map<const PredDecl*, Table> tables_;
  ValueCache values_;
  db::Row row_;
  std::vector<std::unique_ptr<Scratch>> scratch_;
  std::size_t depth_ = 0;
  std::vector<ValueText> value_texts_;
  // Declared last: their entries hold statements of the pool.
  db::StatementPool pool_;
  QueryMemo memo_;
  QuietQueries quiet_;
  std::deque<std::shared_ptr<MemoEntry>> parked_;
  TableIndex* index_ = nullptr;
  std::size_t diagnostics_ = 0;
};

} // namespace hipaa

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
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa {

class TableIndex {
public:
  // `budget` bytes for every table together; the connection must stay in
  // one read transaction for the index's lifetime.
  TableIndex(const Signature& signature, db::Connection& connection, std::size_t budget);

  // The rows of the table of `decl` whose columns at the '=' positions of
  // `mask` hold `values` (the first `count`), handed to `on_row` as a query
  // of `shape_sql` (the statement the query would run) would hand them.
  // Absent when the table or the shape is left to the queries; else true
  // when the rows ran to their end or `on_row` settled, false when it
  // stopped them.
  std::optional<bool> query(const PredDecl& decl, const std::string& mask,
                            const std::vector<std::string>& values, std::size_t count,
                            FunctionRef<std::string()> shape_sql,
                            FunctionRef<Flow(const TermList&)> on_row);

  // Bytes held by the tables read so far.
  std::size_t used() const { return used_; }

private:
  struct Shape {
    bool usable = false;
    std::vector<std::size_t> keys;   // constrained columns, in column order
    std::vector<std::uint32_t> rows; // by key ids, then in the plan's order
  };

  enum class RowState : std::uint8_t { Unchecked, Good, Bad };

  struct Table {
    bool indexed = false;
    std::size_t columns = 0;
    std::vector<Sort> sorts;
    std::vector<std::uint32_t> cells; // text ids, row by row
    TextIds texts;
    std::vector<TermPtr> terms;            // by id, parsed when first needed
    std::vector<bool> unparsable;          // by id: the parse failed or repaired
    std::vector<RowState> row_state;
    std::unordered_map<std::string, Shape> shapes; // by mask
  };

  Table& table_of(const PredDecl& decl);
  bool read(const PredDecl& decl, Table& table);
  bool row_good(Table& table, std::uint32_t row);
  bool check_row(Table& table, std::uint32_t row);
  bool columns_plain(const DbInfo& info);
  Shape make_shape(const PredDecl& decl, Table& table, const std::string& mask,
                   const std::string& sql);
  // The table's columns in the order of the index SQLite searches for
  // `sql`, empty for table order; absent when the order is not known.
  std::optional<std::vector<std::size_t>> plan_order(const DbInfo& info, const std::string& sql);

  const Signature& signature_;
  db::Connection& connection_;
  std::size_t budget_;
  std::size_t used_ = 0;
  std::optional<bool> plain_database_;
  ValueCache values_;
  std::unordered_map<const PredDecl*, Table> tables_;
};

} // namespace hipaa

#include "reduce/table_index.hpp"

#include "base/failure.hpp"
#include "check/sorts.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace hipaa {

namespace {

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using RawStatement = std::unique_ptr<sqlite3_stmt, Finalizer>;

RawStatement prepare(db::Connection& connection, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  return RawStatement(statement);
}

std::string column_text(sqlite3_stmt* statement, int index) {
  const unsigned char* text = sqlite3_column_text(statement, index);
  int bytes = sqlite3_column_bytes(statement, index);
  if (text == nullptr || bytes <= 0) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes));
}

// The first row's first column of `sql`, empty when there is none.
std::string single(db::Connection& connection, const std::string& sql) {
  RawStatement statement = prepare(connection, sql);
  if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW) return {};
  return column_text(statement.get(), 0);
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Rough heap cost of one interned text with one thread's term, and of the
// term of each further thread.
constexpr std::size_t kTextCost = 160;
constexpr std::size_t kThreadTextCost = 96;

// The terms a thread keeps by id: enough for the rows that one instance
// and its neighbours meet again and again.
constexpr std::size_t kRecentTerms = std::size_t{1} << 16;

// The store's key of a table: its name and the columns read.
std::string table_key(const DbInfo& info) {
  std::string key = info.table;
  for (const std::string& column : info.columns) {
    key += '\x1f';
    key += column;
  }
  return key;
}

} // namespace

namespace {

// The table's columns in the order of the index SQLite searches for `sql`,
// empty for table order; absent when the order is not known.
std::optional<std::vector<std::size_t>> plan_order(db::Connection& connection,
                                                   const DbInfo& info, const std::string& sql) {
  RawStatement plan = prepare(connection, "EXPLAIN QUERY PLAN " + sql);
  if (!plan || sqlite3_step(plan.get()) != SQLITE_ROW) return std::nullopt;
  std::string detail = column_text(plan.get(), 3);
  if (sqlite3_step(plan.get()) != SQLITE_DONE) return std::nullopt;
  if (detail == "SCAN " + info.table) return std::vector<std::size_t>{};
  std::string index;
  for (const char* how : {" USING INDEX ", " USING COVERING INDEX "}) {
    const std::string prefix = "SEARCH " + info.table + how;
    if (starts_with(detail, prefix)) {
      index = detail.substr(prefix.size());
      index = index.substr(0, index.find(' '));
    }
  }
  if (index.empty()) return std::nullopt;
  // The index's key columns, each ascending, by byte and among those read.
  RawStatement keys = prepare(connection, "PRAGMA index_xinfo('" + index + "')");
  if (!keys) return std::nullopt;
  std::vector<std::size_t> order;
  while (sqlite3_step(keys.get()) == SQLITE_ROW) {
    if (sqlite3_column_int(keys.get(), 5) == 0) continue; // not a key column
    std::string name = column_text(keys.get(), 2);
    if (sqlite3_column_int(keys.get(), 1) < 0 || sqlite3_column_int(keys.get(), 3) != 0 ||
        column_text(keys.get(), 4) != "BINARY") {
      return std::nullopt;
    }
    auto at = std::find(info.columns.begin(), info.columns.end(), name);
    if (at == info.columns.end()) return std::nullopt;
    order.push_back(static_cast<std::size_t>(at - info.columns.begin()));
  }
  if (order.empty()) return std::nullopt;
  return order;
}

} // namespace

TableStore::TableStore(std::size_t budget, std::size_t threads)
    : budget_(budget), threads_(std::max<std::size_t>(1, threads)) {}

std::size_t TableStore::used() {
  std::lock_guard<std::mutex> lock(mutex_);
  return used_;
}

const TableStore::Table& TableStore::table(const PredDecl& decl, db::Connection& connection) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto [slot, inserted] = entries_.try_emplace(table_key(*decl.dbinfo));
  if (inserted && !read(decl, slot->second.table, connection)) slot->second.table = Table{};
  return slot->second.table;
}

const TableStore::Shape& TableStore::shape(const PredDecl& decl, const Table& table,
                                           const std::string& mask,
                                           FunctionRef<std::string()> sql,
                                           db::Connection& connection) {
  std::lock_guard<std::mutex> lock(mutex_);
  Entry& entry = entries_.at(table_key(*decl.dbinfo));
  auto found = entry.shapes.find(mask);
  if (found == entry.shapes.end()) {
    found = entry.shapes.emplace(mask, make_shape(decl, table, mask, sql(), connection)).first;
  }
  return found->second;
}

// Stored texts compare as bytes only in a UTF-8 database whose planner
// does not look at the bound values (no stat4 samples).
bool TableStore::columns_plain(const DbInfo& info, db::Connection& connection) {
  if (!plain_database_) {
    plain_database_ = single(connection, "PRAGMA encoding") == "UTF-8" &&
                      single(connection, "SELECT count(*) FROM sqlite_master WHERE name = "
                                         "'sqlite_stat4'") == "0";
  }
  if (!*plain_database_) return false;
  if (single(connection, "SELECT type FROM sqlite_master WHERE name = '" + info.table + "'") !=
      "table") {
    return false;
  }
  if (!prepare(connection, "SELECT rowid FROM " + info.table + " LIMIT 0")) return false;
  for (const std::string& column : info.columns) {
    const char* type = nullptr;
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(connection.handle(), nullptr, info.table.c_str(),
                                      column.c_str(), &type, &collation, nullptr, nullptr,
                                      nullptr) != SQLITE_OK) {
      return false;
    }
    std::string upper = type != nullptr ? type : "";
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool text = upper.find("INT") == std::string::npos &&
                (upper.find("CHAR") != std::string::npos || upper.find("CLOB") != std::string::npos ||
                 upper.find("TEXT") != std::string::npos);
    if (!text || collation == nullptr || std::strcmp(collation, "BINARY") != 0) return false;
  }
  return true;
}

bool TableStore::read(const PredDecl& decl, Table& table, db::Connection& connection) {
  const DbInfo& info = *decl.dbinfo;
  if (info.columns.empty() || info.columns.size() != decl.args.size() ||
      !columns_plain(info, connection)) {
    return false;
  }
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < info.columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += info.table + "." + info.columns[i];
  }
  sql += " FROM " + info.table + " NOT INDEXED";
  RawStatement statement = prepare(connection, sql);
  if (!statement) return false;
  table.columns = info.columns.size();
  // The texts stay, and stay counted, when the table is left to the
  // queries: a later table may share them.
  const std::size_t text_cost = kTextCost + (threads_ - 1) * kThreadTextCost;
  const std::size_t row_cost = table.columns * sizeof(std::uint32_t) + threads_;
  std::size_t rows_used = 0;
  // The cells take their room at once: a vector doubling its way to the
  // size of a large table would hold up to twice what it needs.
  const std::string count = single(connection, "SELECT count(*) FROM " + info.table);
  if (!count.empty()) {
    const unsigned long long rows = std::stoull(count);
    if (rows * table.columns * sizeof(std::uint32_t) + used_ > budget_) return false;
    table.cells.reserve(static_cast<std::size_t>(rows) * table.columns);
  }
  int status;
  while ((status = sqlite3_step(statement.get())) == SQLITE_ROW) {
    for (std::size_t c = 0; c < table.columns; ++c) {
      const int index = static_cast<int>(c);
      if (sqlite3_column_type(statement.get(), index) != SQLITE_TEXT) return false;
      const unsigned char* bytes = sqlite3_column_text(statement.get(), index);
      const int size = sqlite3_column_bytes(statement.get(), index);
      if (bytes == nullptr || size <= 0) return false;
      const std::string_view text(reinterpret_cast<const char*>(bytes),
                                  static_cast<std::size_t>(size));
      if (text.find('\0') != std::string_view::npos) return false;
      if (texts_.size() == UINT32_MAX) return false;
      auto [id, fresh] = texts_.add(text);
      if (fresh) used_ += text_cost + text.size();
      table.cells.push_back(id);
    }
    rows_used += row_cost;
    if (used_ + rows_used > budget_) return false;
  }
  if (status != SQLITE_DONE) return false;
  used_ += rows_used;
  table.ids = texts_.size();
  table.indexed = true;
  return true;
}

TableStore::Shape TableStore::make_shape(const PredDecl& decl, const Table& table,
                                         const std::string& mask, const std::string& sql,
                                         db::Connection& connection) {
  Shape shape;
  std::optional<std::vector<std::size_t>> order = plan_order(connection, *decl.dbinfo, sql);
  if (!order) return shape;
  const std::size_t count = table.rows();
  if (used_ + count * sizeof(std::uint32_t) > budget_) return shape;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == '=') shape.keys.push_back(i);
  }
  shape.rows.resize(count);
  for (std::size_t r = 0; r < count; ++r) shape.rows[r] = static_cast<std::uint32_t>(r);
  const std::size_t width = table.columns;
  const auto& cells = table.cells;
  const TextIds& texts = texts_;
  // Grouped by the ids of the constrained values; within a group in the
  // index's byte order, ties (and a table scan) in table order.
  std::stable_sort(shape.rows.begin(), shape.rows.end(), [&](std::uint32_t a, std::uint32_t b) {
    for (std::size_t key : shape.keys) {
      std::uint32_t x = cells[a * width + key], y = cells[b * width + key];
      if (x != y) return x < y;
    }
    for (std::size_t column : *order) {
      std::uint32_t x = cells[a * width + column], y = cells[b * width + column];
      if (x == y) continue;
      int compared = texts.text(x).compare(texts.text(y));
      if (compared != 0) return compared < 0;
    }
    return false;
  });
  used_ += count * sizeof(std::uint32_t);
  shape.usable = true;
  return shape;
}

TableIndex::TableIndex(const Signature& signature, db::Connection& connection,
                       TableStore& store)
    : signature_(signature), connection_(connection), store_(store), recent_(kRecentTerms) {}

TableIndex::Local& TableIndex::local_of(const PredDecl& decl) {
  auto [slot, inserted] = tables_.try_emplace(&decl);
  Local& local = slot->second;
  if (inserted) {
    local.table = &store_.table(decl, connection_);
    if (local.table->indexed) {
      for (const PredArg& arg : decl.args) local.sorts.push_back(arg.sort);
      if (unparsable_.size() < local.table->ids) unparsable_.resize(local.table->ids, false);
      local.row_state.resize(local.table->rows(), RowState::Unchecked);
    }
  }
  return local;
}

// A row is handed on only once its texts have parsed without a word and
// its values have the table's sorts; the first time it is met, it is
// checked as a query would check it.
bool TableIndex::row_good(Local& local, std::uint32_t row) {
  RowState& state = local.row_state[row];
  if (state == RowState::Unchecked) state = check_row(local, row) ? RowState::Good : RowState::Bad;
  return state == RowState::Good;
}

// The term of the text `id`, null when the text is left to the query: its
// parse fails (a date that does not exist) or needs a repair, which the
// query then reports or fails on.  A text parses the same every time, so a
// text once parsed without a word parses so again.
TermPtr TableIndex::term_of(std::uint32_t id, std::ostream& diagnostics) {
  RecentTerm& recent = recent_[id & (kRecentTerms - 1)];
  if (recent.term && recent.id == id) return recent.term;
  if (unparsable_[id]) return nullptr;
  ValueCache::Parsed parsed{nullptr, false};
  try {
    parsed = values_.parse(std::string(store_.texts().text(id)), diagnostics);
  } catch (const Failure&) {
    parsed.term = nullptr;
  }
  if (!parsed.term || parsed.wrote_diagnostic) {
    unparsable_[id] = true;
    return nullptr;
  }
  recent = RecentTerm{id, parsed.term};
  return std::move(parsed.term);
}

bool TableIndex::check_row(Local& local, std::uint32_t row) {
  const TableStore::Table& table = *local.table;
  check_buffer_.written = 0;
  check_out_.clear();
  std::ostream& diagnostics = check_out_;
  TermList& values = check_values_;
  values.clear();
  for (std::size_t c = 0; c < table.columns; ++c) {
    TermPtr term = term_of(table.cells[row * table.columns + c], diagnostics);
    if (!term) return false;
    values.push_back(std::move(term));
  }
  try {
    check_value_terms(values, local.sorts, signature_, diagnostics);
  } catch (const Failure&) {
    return false;
  }
  return check_buffer_.written == 0;
}

std::optional<bool> TableIndex::query(const PredDecl& decl, const std::string& mask,
                                      const std::vector<std::string>& values, std::uint32_t* ids,
                                      std::size_t count, FunctionRef<std::string()> shape_sql,
                                      FunctionRef<Flow(const TermList&)> on_row,
                                      RowDeal* deal) {
  Local& local = local_of(decl);
  if (!local.table->indexed) return std::nullopt;
  auto found = local.shapes.find(mask);
  if (found == local.shapes.end()) {
    found = local.shapes
                .emplace(mask, &store_.shape(decl, *local.table, mask, shape_sql, connection_))
                .first;
  }
  const TableStore::Shape& shape = *found->second;
  if (!shape.usable) return std::nullopt;
  const TableStore::Table& table = *local.table;
  // The ids of the wanted values; a value stored nowhere matches no row.
  // A text's id never changes once given, but a text not stored yet may be
  // stored by a table read later, so only ids found are handed back.
  std::uint32_t wanted[kMaxKeys];
  if (count > kMaxKeys || count != shape.keys.size()) return std::nullopt;
  for (std::size_t i = 0; i < count; ++i) {
    if (ids[i] == kNoId) {
      std::optional<std::uint32_t> id = store_.texts().find(values[i]);
      if (!id) return true;
      ids[i] = *id;
    }
    wanted[i] = ids[i];
  }
  const std::size_t width = table.columns;
  const auto& cells = table.cells;
  auto compare = [&](std::uint32_t row) {
    for (std::size_t i = 0; i < count; ++i) {
      std::uint32_t id = cells[row * width + shape.keys[i]];
      if (id != wanted[i]) return id < wanted[i] ? -1 : 1;
    }
    return 0;
  };
  auto first = std::partition_point(shape.rows.begin(), shape.rows.end(),
                                    [&](std::uint32_t row) { return compare(row) < 0; });
  auto last = first;
  // A group holding a row that a query would report or fail on is left to
  // the query, which meets it exactly where it would have.  A dealt row
  // that is not taken is never read, so it is not looked at either.
  for (; last != shape.rows.end() && compare(*last) == 0; ++last) {
    if (deal != nullptr && !deal->takes(static_cast<std::size_t>(last - first))) continue;
    if (!row_good(local, *last)) return std::nullopt;
  }
  if (deal != nullptr) deal->rows = static_cast<std::size_t>(last - first);
  if (first == last) return true;
  TermList row;
  row.reserve(width);
  for (auto at = first; at != last; ++at) {
    if (deal != nullptr && !deal->deal_row(static_cast<std::size_t>(at - first))) continue;
    row.clear();
    for (std::size_t c = 0; c < width; ++c) row.push_back(term_of(cells[*at * width + c], quiet_));
    Flow flow = on_row(row);
    if (flow == Flow::Stop) return false;
    if (flow == Flow::Settled) return true;
  }
  return true;
}

} // namespace hipaa

#include "reduce/log_reader.hpp"

#include "base/failure.hpp"
#include "check/sorts.hpp"
#include "db/query.hpp"
#include "logic/printer.hpp"
#include "reduce/sql_text.hpp"
#include "reduce/term_match.hpp"

#include <cstdint>
#include <ostream>

namespace hipaa {

namespace {

// Entries kept by the memo.  The queries of one disclosure's instances ask
// about the same few messages, people and attributes again and again; a few
// hundred entries hold them with room to spare.
constexpr std::size_t kMemoEntries = 256;
// Rows one memo entry may hold; a query that returns more is streamed.
constexpr std::size_t kMemoRows = 64;
// Entries whose enumeration stopped early that keep their statement open
// for the next one.  SQLite walks every open cursor of a table whenever it
// opens or closes one, so only a few stay open; the others are read again
// from the start when more rows are asked for.
constexpr std::size_t kParkedCursors = 8;
// Queries too large for the memo that are remembered as read without a
// repaired value.
constexpr std::size_t kQuietQueries = 4096;

// SELECT T.c1, .., T.cm FROM T WHERE one equality per closed argument.
QueryPlan db_query_plan(const TermList& args, const DbInfo& info) {
  QueryPlan plan;
  plan.tables.push_back(info.table);
  for (std::size_t i = 0; i < args.size(); ++i) {
    plan.columns.push_back({info.table, info.columns[i]});
    if (!isClosed(*args[i])) continue;
    plan.constraints.push_back({args[i], ColumnRef{info.table, info.columns[i]}});
  }
  return plan;
}

[[noreturn]] void report_unequal_lengths(const TermList& args, const DbInfo& info,
                                         std::ostream& out) {
  std::string columns;
  for (std::size_t i = 0; i < info.columns.size(); ++i) {
    if (i > 0) columns += ' ';
    columns += info.columns[i];
  }
  out << "Unexpected unequal lengths of args: " << print_term_list(args)
      << " and column names: " << columns << "\n";
  out.flush();
  raise("UnexpectedUnequalLengths");
}

// The memo's key: the predicate, the constrained positions and the values,
// each value preceded by its length so that no two queries share a key.
void memo_key(const PredDecl& decl, const std::string& mask, const std::vector<std::string>& values,
              std::size_t count, std::string& key) {
  key.clear();
  const PredDecl* address = &decl;
  key.append(reinterpret_cast<const char*>(&address), sizeof address);
  key += mask;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t length = values[i].size();
    key.append(reinterpret_cast<const char*>(&length), sizeof length);
    key += values[i];
  }
}

// Marks an entry as walked for as long as one enumeration runs; an
// enumeration that ends by an exception leaves the entry to be dropped.
class EntryUse {
public:
  EntryUse(MemoEntry& entry, QueryMemo& memo, const std::string& key)
      : entry_(entry), memo_(memo), key_(key), exceptions_(std::uncaught_exceptions()) {
    entry_.in_use = true;
  }
  EntryUse(const EntryUse&) = delete;
  EntryUse& operator=(const EntryUse&) = delete;
  ~EntryUse() {
    entry_.in_use = false;
    if (std::uncaught_exceptions() > exceptions_) memo_.forget(key_);
  }

private:
  MemoEntry& entry_;
  QueryMemo& memo_;
  const std::string& key_;
  int exceptions_;
};

} // namespace

LogReader::LogReader(const Signature& signature, db::Connection& connection, std::ostream& out)
    : signature_(signature), connection_(connection), out_(out), pool_(connection),
      memo_(kMemoEntries), quiet_(kQuietQueries) {}

LogReader::Table& LogReader::table_of(const PredDecl& decl) {
  auto [slot, inserted] = tables_.try_emplace(&decl);
  if (inserted) {
    slot->second.sorts.reserve(decl.args.size());
    for (const PredArg& arg : decl.args) slot->second.sorts.push_back(arg.sort);
  }
  return slot->second;
}

std::size_t LogReader::shape_of(const PredDecl& decl, Table& table, const std::string& mask,
                                const TermList& args) {
  auto found = table.shapes.find(mask);
  if (found != table.shapes.end()) return found->second;
  std::size_t shape = pool_.shape(query_shape_text(db_query_plan(args, *decl.dbinfo)));
  table.shapes.emplace(mask, shape);
  return shape;
}

bool LogReader::query(const PredDecl& decl, const TermList& args, RowValues on_row,
                      RowDeal* deal) {
  const DbInfo& info = *decl.dbinfo;
  if (args.size() != info.columns.size()) report_unequal_lengths(args, info, out_);
  Table& table = table_of(decl);

  if (scratch_.size() == depth_) scratch_.push_back(std::make_unique<Scratch>());
  Scratch& scratch = *scratch_[depth_];
  struct Nesting {
    std::size_t& depth;
    explicit Nesting(std::size_t& d) : depth(d) { ++depth; }
    ~Nesting() { --depth; }
  } nesting(depth_);

  scratch.mask.assign(args.size(), '-');
  std::size_t count = 0;
  bool has_nul = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!isClosed(*args[i])) continue;
    scratch.mask[i] = '=';
    if (scratch.values.size() == count) scratch.values.emplace_back();
    const ValueText& printed = value_text(args[i]);
    if (count < TableIndex::kMaxKeys) scratch.ids[count] = printed.id;
    std::string& value = scratch.values[count++];
    value = printed.text;
    has_nul = has_nul || value.find('\0') != std::string::npos;
  }
  Query query{decl, table, args, scratch.mask, scratch.values, count};
  // SQLite reads a query text only up to a NUL: such a value keeps the old
  // literal text, with whatever SQLite makes of it.
  if (has_nul) return run_literal(query, on_row, deal);
  if (index_ != nullptr) {
    std::optional<bool> answered = index_->query(
        decl, scratch.mask, scratch.values, scratch.ids, count,
        [&] { return query_shape_text(db_query_plan(args, info)); }, on_row, deal);
    // The ids the index found are kept with the printed values.
    for (std::size_t i = 0, at = 0; i < args.size() && at < count; ++i) {
      if (scratch.mask[i] != '=') continue;
      if (at < TableIndex::kMaxKeys && scratch.ids[at] != TableIndex::kNoId) {
        ValueText& printed = value_text(args[i]);
        printed.id = scratch.ids[at];
      }
      ++at;
    }
    if (answered) return *answered;
  }
  if (count == 0 || deal != nullptr) return stream(query, on_row, deal);
  memo_key(decl, scratch.mask, scratch.values, count, scratch.key);
  return replay(query, scratch.key, on_row);
}

LogReader::ValueText& LogReader::value_text(const TermPtr& term) {
  constexpr std::size_t kSlots = 256;
  if (value_texts_.empty()) value_texts_.resize(kSlots);
  ValueText& slot = value_texts_[(reinterpret_cast<std::uintptr_t>(term.get()) >> 4) % kSlots];
  if (slot.term != term) {
    slot.text.clear();
    append_term(slot.text, *term);
    slot.term = term;
    slot.id = TableIndex::kNoId;
  }
  return slot;
}

db::StatementPool::Lease LogReader::open(const Query& query) {
  std::size_t shape = shape_of(query.decl, query.table, query.mask, query.args);
  std::optional<db::StatementPool::Lease> lease = pool_.acquire(shape);
  if (!lease) {
    // The message quotes the query as text, values written in.
    out_ << "Unable to prepare query: " << query_text(db_query_plan(query.args, *query.decl.dbinfo))
         << "\n";
    out_.flush();
    raise("CannotPrepareQuery");
  }
  for (std::size_t i = 0; i < query.value_count; ++i) {
    lease->statement().bind_text(static_cast<int>(i + 1), query.values[i]);
  }
  return std::move(*lease);
}

// Every column text of a row back into a term.  An empty text is a missing
// value (NULL reads as ""): it is refused without parsing, since the repairing
// parser would otherwise invent a term for it that might even match.
bool LogReader::read_row(db::Statement& statement, const Table& table, TermList& values) {
  statement.get_data_into(row_);
  values.clear();
  values.reserve(row_.size());
  bool wrote_diagnostic = false;
  for (const std::string& text : row_) {
    ValueCache::Parsed parsed{nullptr, false};
    if (!text.empty()) parsed = values_.parse(text, out_);
    if (!parsed.term) {
      out_ << "Unparseable term: " << text << " obtained from database\n";
      out_.flush();
      raise("UnparseableTerm");
    }
    wrote_diagnostic = wrote_diagnostic || parsed.wrote_diagnostic;
    values.push_back(std::move(parsed.term));
  }
  check_value_terms(values, table.sorts, signature_, out_);
  if (wrote_diagnostic) ++diagnostics_;
  return wrote_diagnostic;
}

bool LogReader::stream_from(db::StatementPool::Lease& cursor, const Table& table,
                            RowValues on_row, const std::string* key, bool settled,
                            RowDeal* deal) {
  TermList values; // reused from row to row; continuations copy what they keep
  bool wrote_diagnostic = false;
  for (std::size_t row = 0; db::step_row(cursor.statement()); ++row) {
    if (deal != nullptr && !deal->deal_row(row)) continue;
    wrote_diagnostic = read_row(cursor.statement(), table, values) || wrote_diagnostic;
    if (settled) continue;
    Flow flow = on_row(values);
    if (flow == Flow::Stop) return false;
    if (flow == Flow::Settled) {
      settled = true;
      if (key != nullptr && !wrote_diagnostic && quiet_.known(*key)) return true;
    }
  }
  if (key != nullptr && !wrote_diagnostic) quiet_.add(*key);
  return true;
}

bool LogReader::stream(const Query& query, RowValues on_row, RowDeal* deal) {
  db::StatementPool::Lease cursor = open(query);
  return stream_from(cursor, query.table, on_row, nullptr, false, deal);
}

// The rows already read first, then on from the statement, keeping each
// new row.  A row whose reading wrote a diagnostic, or one beyond the
// entry's size, ends the memo of this query: the enumeration goes on alone
// from the statement, and the next one asks SQLite afresh.
bool LogReader::replay(const Query& query, const std::string& key, RowValues on_row) {
  std::shared_ptr<MemoEntry> entry = memo_.find_or_add(key);
  if (entry->in_use) return stream(query, on_row);
  EntryUse use(*entry, memo_, key);
  // Once on_row has settled, rows are only read for what they may report;
  // a query known to report nothing ends there.  Kept rows never report.
  bool settled = false;
  auto hand_on = [&](const TermList& values) {
    if (settled) return Flow::Settled;
    Flow flow = on_row(values);
    if (flow == Flow::Settled) settled = true;
    return flow;
  };
  auto quiet_from_here = [&] { return settled && (entry->complete || quiet_.known(key)); };
  for (std::size_t next = 0;; ++next) {
    if (next < entry->rows.size()) {
      bool stopped = hand_on(entry->rows[next]) == Flow::Stop;
      if (stopped || quiet_from_here()) {
        park(entry);
        return !stopped;
      }
      continue;
    }
    if (entry->complete) return true;
    if (!entry->cursor) {
      entry->cursor = open(query);
      // Past the rows already kept, when its earlier statement was closed.
      for (std::size_t skipped = 0; skipped < entry->rows.size(); ++skipped) {
        if (!db::step_row(entry->cursor->statement())) break;
      }
    }
    if (!db::step_row(entry->cursor->statement())) {
      entry->complete = true;
      entry->cursor.reset();
      return true;
    }
    TermList values;
    bool wrote_diagnostic = read_row(entry->cursor->statement(), query.table, values);
    if (wrote_diagnostic || entry->rows.size() == kMemoRows) {
      db::StatementPool::Lease cursor = std::move(*entry->cursor);
      entry->cursor.reset();
      memo_.forget(key);
      if (hand_on(values) == Flow::Stop) return false;
      if (!wrote_diagnostic && quiet_from_here()) return true;
      return stream_from(cursor, query.table, on_row, wrote_diagnostic ? nullptr : &key, settled);
    }
    entry->rows.push_back(std::move(values));
    bool stopped = hand_on(entry->rows.back()) == Flow::Stop;
    if (stopped || quiet_from_here()) {
      park(entry);
      return !stopped;
    }
  }
}

void LogReader::park(const std::shared_ptr<MemoEntry>& entry) {
  if (!entry->cursor) return;
  if (parked_.size() == kParkedCursors) {
    MemoEntry& oldest = *parked_.front();
    if (!oldest.in_use) oldest.cursor.reset();
    parked_.pop_front();
  }
  parked_.push_back(entry);
}

bool LogReader::run_literal(const Query& query, RowValues on_row, RowDeal* deal) {
  std::string sql = query_text(db_query_plan(query.args, *query.decl.dbinfo));
  TermList values;
  db::Statement statement = db::prepare_or_report(connection_, sql, out_);
  for (std::size_t row = 0; db::step_row(statement); ++row) {
    if (deal != nullptr && !deal->deal_row(row)) continue;
    read_row(statement, query.table, values);
    if (on_row(values) == Flow::Stop) return false;
  }
  statement.finalize();
  return true;
}

} // namespace hipaa

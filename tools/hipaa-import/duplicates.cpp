#include "duplicates.hpp"

#include "common/tool_error.hpp"

namespace hipaa::import {

namespace {

// FNV-1a over the values, each followed by a separator no value holds.
std::uint64_t hash_of(const std::vector<std::string>& values) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const std::string& value : values) {
    for (unsigned char c : value) hash = (hash ^ c) * 1099511628211ULL;
    hash = (hash ^ 0x1FU) * 1099511628211ULL;
  }
  // Mixed again, so that the low bits that pick a slot depend on every byte.
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdULL;
  hash ^= hash >> 33;
  return hash;
}

} // namespace

void Duplicates::grow(Table& table) {
  std::vector<std::pair<std::uint64_t, std::int64_t>> old(table.slots.size() * 2);
  old.swap(table.slots);
  const std::size_t mask = table.slots.size() - 1;
  for (const auto& slot : old) {
    if (slot.second == 0) continue;
    std::size_t at = slot.first & mask;
    while (table.slots[at].second != 0) at = (at + 1) & mask;
    table.slots[at] = slot;
  }
}

bool Duplicates::same_row(const std::string& table, std::int64_t row,
                          const std::vector<std::string>& values) {
  sqlite3_stmt* raw = nullptr;
  const std::string sql = "SELECT * FROM " + tools::quote_identifier(table) + " WHERE rowid = ?";
  if (sqlite3_prepare_v2(database_.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw tools::ToolError("cannot read back table " + table);
  }
  std::unique_ptr<sqlite3_stmt, tools::StatementFinalizer> statement(raw);
  sqlite3_bind_int64(raw, 1, row);
  if (sqlite3_step(raw) != SQLITE_ROW) return false;
  if (static_cast<std::size_t>(sqlite3_column_count(raw)) != values.size()) return false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, static_cast<int>(i)));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(raw, static_cast<int>(i)));
    if (std::string_view(text ? text : "", bytes) != values[i]) return false;
  }
  return true;
}

std::int64_t Duplicates::earlier(const std::string& table, const std::vector<std::string>& values,
                                 std::int64_t row) {
  Table& seen = tables_[table];
  const std::uint64_t hash = hash_of(values);
  std::size_t mask = seen.slots.size() - 1;
  std::size_t at = hash & mask;
  for (; seen.slots[at].second != 0; at = (at + 1) & mask) {
    if (seen.slots[at].first == hash && same_row(table, seen.slots[at].second, values)) {
      return seen.slots[at].second;
    }
  }
  seen.slots[at] = {hash, row};
  if (++seen.used * 4 > seen.slots.size() * 3) grow(seen);
  return 0;
}

} // namespace hipaa::import

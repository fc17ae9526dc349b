#include "table_import.hpp"

#include "csv_reader.hpp"
#include "transcoder.hpp"

#include "common/csv_field.hpp"
#include "common/tool_error.hpp"

#include <algorithm>
#include <optional>

namespace hipaa::import {

using tools::LogTable;
using tools::ToolError;

namespace {

// The kinds of problems kept apart beyond the limit; any further kind is
// counted with the last.
constexpr std::size_t kMaxKinds = 200;

// A reason with its value left out, so that the same problem with other
// values is one kind: the first double-quoted part becomes "...", and
// suggestions of names (which follow the value) are dropped.
std::string kind_of(const std::string& reason) {
  std::string kind = reason;
  const std::size_t open = kind.find('"');
  const std::size_t close = open == std::string::npos ? open : kind.find('"', open + 1);
  if (close != std::string::npos) kind.replace(open, close - open + 1, "\"...\"");
  const std::size_t suggestion = kind.find("; did you mean");
  if (suggestion != std::string::npos) kind.erase(suggestion);
  return kind;
}

} // namespace

void ErrorList::count(const std::string& key, const std::string& example) {
  auto found = kinds_.find(key);
  if (found == kinds_.end() && kinds_.size() >= kMaxKinds) found = kinds_.find("other problems");
  if (found == kinds_.end()) {
    const std::string& name = kinds_.size() >= kMaxKinds ? "other problems" : key;
    found = kinds_.emplace(name, Kind{0, kinds_.size(), example}).first;
  }
  ++found->second.count;
}

void ErrorList::add(std::string message) {
  ++total_;
  if (messages_.size() < limit_) {
    messages_.push_back(std::move(message));
    return;
  }
  const std::size_t colon = message.find(": ");
  count(colon == std::string::npos ? message : message.substr(colon + 2), message);
}

void ErrorList::add_value(const std::string& where, const std::string& file,
                          const std::string& column, const std::string& reason) {
  if (messages_.size() < limit_) {
    add(where + "column " + column + ": " + reason);
    return;
  }
  ++total_;
  // The example is the first value of its kind, where it was found.
  const std::size_t open = reason.find('"');
  const std::size_t close = open == std::string::npos ? open : reason.find('"', open + 1);
  const std::string value = close == std::string::npos ? reason : reason.substr(open, close - open + 1);
  count(file + ", column " + column + ": " + kind_of(reason), where.substr(0, where.size() - 2) +
                                                               " " + value);
}

std::vector<std::string> ErrorList::summary() const {
  std::vector<std::pair<std::string, const Kind*>> kinds;
  for (const auto& [key, kind] : kinds_) kinds.emplace_back(key, &kind);
  std::stable_sort(kinds.begin(), kinds.end(), [](const auto& a, const auto& b) {
    return a.second->count != b.second->count ? a.second->count > b.second->count
                                               : a.second->order < b.second->order;
  });
  std::vector<std::string> lines;
  for (const auto& [key, kind] : kinds) {
    lines.push_back(std::to_string(kind->count) + " × " + key + " (first " + kind->example + ")");
  }
  return lines;
}

namespace {

std::string column_list(const LogTable& table) {
  std::string list;
  for (const std::string& column : table.columns) list += (list.empty() ? "" : ", ") + column;
  return list;
}

// For each header field, the index of its column in the table; absent for
// an ignored extra column.
std::vector<std::optional<std::size_t>> match_header(const std::vector<std::string>& header,
                                                     const LogTable& table, bool ignore_extra,
                                                     const std::string& where) {
  std::vector<std::optional<std::size_t>> positions;
  std::vector<bool> seen(table.columns.size(), false);
  for (const std::string& name : header) {
    std::optional<std::size_t> index = table.column_index(name);
    if (!index) {
      if (ignore_extra) {
        positions.push_back(std::nullopt);
        continue;
      }
      throw ToolError(where + "header names \"" + name + "\", which is not a column of table " +
                      table.name + " (" + column_list(table) +
                      "; --ignore-extra-columns skips such columns)");
    }
    if (seen[*index]) throw ToolError(where + "header names column \"" + name + "\" twice");
    seen[*index] = true;
    positions.push_back(index);
  }
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (!seen[i]) {
      throw ToolError(where + "header lacks column \"" + table.columns[i] + "\" of table " +
                      table.name + " (" + column_list(table) + ")");
    }
  }
  return positions;
}

std::string location(const CsvReader& reader) {
  return reader.name() + ":" + std::to_string(reader.record_line()) + ": ";
}

bool has_high_bytes(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// A declared encoding that the file's byte-order mark contradicts.
void check_mark(const CsvReader& reader, const std::string& declared, bool forced) {
  if (declared.empty() || forced) return;
  const ByteOrderMark mark = reader.mark();
  const bool utf8 = mark == ByteOrderMark::Utf8 && !names_utf8(declared);
  const bool utf16 = (mark == ByteOrderMark::Utf16LE || mark == ByteOrderMark::Utf16BE) &&
                     !names_utf16(declared);
  if (!utf8 && !utf16) return;
  throw ToolError(reader.name() + ": the file starts with a " + (utf8 ? "UTF-8" : "UTF-16") +
                  " byte-order mark but is declared " + declared +
                  "; leave out its encoding, or give --force-encoding to read it as declared");
}

// What a file declared in a legacy encoding turned out to be: a file whose
// every non-ASCII field is valid UTF-8 was almost surely saved as UTF-8,
// and reading it as declared would garble each such value.
struct EncodingEvidence {
  std::int64_t utf8 = 0, other = 0;
  std::string example, garbled;
};

} // namespace

std::int64_t read_table(const TableSource& source, const LogTable& table,
                        const ValueEncoder& encoder, const ReadOptions& options,
                        ErrorList& errors, const RowSink& sink) {
  try {
    const std::string& declared = source.encoding.empty() ? options.encoding : source.encoding;
    CsvReader reader(source.path, source.shown, declared);
    check_mark(reader, declared, options.force_encoding);
    std::optional<Transcoder> transcoder;
    const bool marked_utf8 = reader.mark() == ByteOrderMark::Utf8 && !options.force_encoding;
    if (!declared.empty() && !names_utf8(declared) && !reader.decodes() && !marked_utf8) {
      transcoder.emplace(declared);
    }
    EncodingEvidence evidence;
    std::vector<std::string> fields;
    std::vector<std::string> header;
    bool guarded = options.formula_guard;
    // Reads the next record, in UTF-8 when the file has another encoding.
    const auto next = [&]() {
      if (!reader.next_record(fields)) return false;
      if (!transcoder) return true;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string& field = fields[i];
        try {
          const bool high = has_high_bytes(field);
          const bool utf8 = high && text_problem(field).empty();
          if (high) ++(utf8 ? evidence.utf8 : evidence.other);
          const std::string raw = utf8 && evidence.example.empty() ? field : std::string();
          field = transcoder->to_utf8(field);
          if (!raw.empty()) evidence.example = raw, evidence.garbled = field;
        } catch (const ToolError& error) {
          field.clear();
          errors.add(location(reader) + (i < header.size() ? "column " + header[i] + ": " : "") +
                     error.what());
        }
      }
      return true;
    };
    if (!next()) {
      throw ToolError(source.shown + ":1: the file is empty; its first line must name the columns");
    }
    const auto unguard = [&](std::size_t from) {
      for (std::size_t i = from; guarded && i < fields.size(); ++i) {
        fields[i] = tools::strip_formula_guard(std::move(fields[i]));
      }
    };
    // hipaa-export's mark: one "'" before the first name, whatever it is.
    if (!fields.empty() && !fields[0].empty() && fields[0][0] == '\'') {
      fields[0].erase(0, 1);
      guarded = true;
      unguard(1);
    } else {
      unguard(0);
    }
    header = fields;
    for (const std::string& name : fields) {
      std::string problem = text_problem(name);
      if (problem.empty()) continue;
      // NUL bytes between the letters of a header: UTF-16 without a mark.
      const bool utf16 = name.find('\0') != std::string::npos && declared.empty();
      throw ToolError(location(reader) + "the header " + problem +
                      (utf16 ? " (a UTF-16 file without a byte-order mark? give its encoding: " +
                                   source.shown + ":UTF-16LE or :UTF-16BE)"
                             : ""));
    }
    const auto positions =
        match_header(fields, table, options.ignore_extra_columns, location(reader));
    std::vector<const DateFormat*> formats(table.columns.size(), nullptr);
    std::vector<const std::unordered_map<std::string, std::string>*> codes(table.columns.size());
    for (std::size_t c = 0; c < formats.size(); ++c) {
      if (options.dates && table.sorts[c].kind == Sort::Kind::Date) {
        formats[c] = options.dates->find(table.name, table.columns[c]);
      }
      if (options.codes && table.sorts[c].is_named()) {
        codes[c] = options.codes->codes_of(table.sorts[c].name);
      }
    }
    std::vector<std::string> printed(table.columns.size());
    std::vector<std::string> given(table.columns.size());
    std::int64_t rows = 0;
    while (next()) {
      unguard(0);
      if (options.progress && rows % 65536 == 0) options.progress(rows, reader.bytes_read());
      ++rows;
      if (fields.size() != positions.size()) {
        errors.add(location(reader) + "expected " + std::to_string(positions.size()) +
                   " fields, found " + std::to_string(fields.size()));
        continue;
      }
      bool good = true;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!positions[i]) continue;
        const std::size_t column = *positions[i];
        const std::string* value = &fields[i];
        if (codes[column]) {
          auto local = codes[column]->find(*value);
          if (local != codes[column]->end()) value = &local->second;
        }
        const std::string& field = *value;
        std::string problem = text_problem(field);
        try {
          if (!problem.empty()) throw ToolError("the value " + problem);
          given[column] = field;
          const bool empty_allowed =
              column < options.may_be_empty.size() && options.may_be_empty[column];
          printed[column] = empty_allowed && field.empty() ? std::string()
                            : table.sorts[column].kind == Sort::Kind::Date
                                ? encode_date(field, formats[column], given[column])
                                : encoder.encode(field, table.sorts[column]);
        } catch (const ToolError& error) {
          errors.add_value(location(reader), reader.name(), table.columns[column], error.what());
          good = false;
        }
      }
      if (good) sink(printed, given, reader.record_line());
    }
    if (options.progress) options.progress(rows, reader.bytes_read());
    if (evidence.utf8 > 0 && evidence.other == 0 && !options.force_encoding) {
      throw ToolError(source.shown + ": the file is valid UTF-8 but is declared " + declared +
                      ", which would read \"" + evidence.example + "\" as \"" + evidence.garbled +
                      "\"; leave out its encoding, or give --force-encoding to read it as declared");
    }
    return rows;
  } catch (const ErrorLimitReached&) {
    throw;
  } catch (const ToolError& error) {
    errors.add(error.what());
    return 0;
  }
}

} // namespace hipaa::import

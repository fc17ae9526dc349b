#include "csv_field.hpp"

#include <algorithm>

namespace hipaa::tools {

namespace {

constexpr std::string_view kGuarded = "=+-@\t\r'";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool needs_quotes(std::string_view text, bool quote_blank_edges) {
  if (quote_blank_edges && !text.empty() && (is_blank(text.front()) || is_blank(text.back()))) {
    return true;
  }
  // A byte-order mark at the start of a file is taken by the reader as the
  // file's encoding (UTF-8, or UTF-16 either way round), not as text.
  if (quote_blank_edges && (text.starts_with("\xEF\xBB\xBF") || text.starts_with("\xFF\xFE") ||
                            text.starts_with("\xFE\xFF"))) {
    return true;
  }
  // One pass over the text: find_first_of would search it once per byte.
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

} // namespace

bool needs_formula_guard(std::string_view text) {
  return !text.empty() && kGuarded.find(text.front()) != std::string_view::npos;
}

std::string strip_formula_guard(std::string text) {
  if (text.size() >= 2 && text[0] == '\'' &&
      kGuarded.find(text[1]) != std::string_view::npos) {
    text.erase(0, 1);
  }
  return text;
}

void append_csv_field(std::string& line, std::string_view text, bool quote_blank_edges,
                      Formulas formulas) {
  const bool guard = formulas == Formulas::Neutralised && needs_formula_guard(text);
  const bool quoted = needs_quotes(text, quote_blank_edges && !guard) ||
                      (guard && quote_blank_edges && is_blank(text.back()));
  if (quoted) line += '"';
  if (guard) line += '\'';
  if (!quoted) {
    line += text;
    return;
  }
  // Every quote doubled: the text up to and with a quote, then one more.
  for (std::size_t quote = text.find('"'); quote != std::string_view::npos;
       quote = text.find('"')) {
    line += text.substr(0, quote + 1);
    line += '"';
    text.remove_prefix(quote + 1);
  }
  line += text;
  line += '"';
}

void append_csv_record(std::string& line, const std::vector<std::string>& fields,
                       bool quote_blank_edges, Formulas formulas) {
  if (fields.size() == 1 && fields[0].empty()) {
    line += "\"\"";
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    append_csv_field(line, fields[i], quote_blank_edges, formulas);
  }
}

std::string csv_field(std::string_view text, bool quote_blank_edges, Formulas formulas) {
  std::string field;
  append_csv_field(field, text, quote_blank_edges, formulas);
  return field;
}

} // namespace hipaa::tools

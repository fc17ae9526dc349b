#include "csv_field.hpp"

namespace hipaa::tools {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool needs_quotes(std::string_view text, bool quote_blank_edges) {
  if (quote_blank_edges && !text.empty() && (is_blank(text.front()) || is_blank(text.back()))) {
    return true;
  }
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

} // namespace

void append_csv_field(std::string& line, std::string_view text, bool quote_blank_edges) {
  if (!needs_quotes(text, quote_blank_edges)) {
    line += text;
    return;
  }
  line += '"';
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

std::string csv_field(std::string_view text, bool quote_blank_edges) {
  std::string field;
  append_csv_field(field, text, quote_blank_edges);
  return field;
}

} // namespace hipaa::tools

// Fields of RFC 4180 records, as the tools write them.
#pragma once

#include <string>
#include <string_view>

namespace hipaa::tools {

// Appends `text` to `line` as one field: in double quotes, each inner quote
// doubled, when it holds a comma, a quote, CR or LF; with
// `quote_blank_edges`, also when it starts or ends with a blank or a tab,
// which a reader that trims its fields would otherwise remove.
void append_csv_field(std::string& line, std::string_view text, bool quote_blank_edges = false);

// `text` as one field.
std::string csv_field(std::string_view text, bool quote_blank_edges = false);

} // namespace hipaa::tools

// Fields of RFC 4180 records, as the tools write them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hipaa::tools {

// Whether a cell that a spreadsheet would run as a formula is written as
// text.  Spreadsheets run a cell that starts with "=", "+", "-" or "@", and
// some treat a leading tab or CR the same way; a neutralised cell has a "'"
// put before such a first character, and before a first "'" too, so that
// strip_formula_guard gives back exactly the text written.
enum class Formulas { Kept, Neutralised };

// Appends `text` to `line` as one field: in double quotes, each inner quote
// doubled, when it holds a comma, a quote, CR or LF; with
// `quote_blank_edges`, also when it starts or ends with a blank or a tab,
// which a reader that trims its fields would otherwise remove, or starts
// with a byte-order mark, which it would skip at the start of a file.
void append_csv_field(std::string& line, std::string_view text, bool quote_blank_edges = false,
                      Formulas formulas = Formulas::Kept);

// `text` as one field.
std::string csv_field(std::string_view text, bool quote_blank_edges = false,
                      Formulas formulas = Formulas::Kept);

// Appends `fields` as one record, without its line end: the fields as
// append_csv_field writes them, separated by commas, except that a record of
// one empty field is written as "" (an empty line would be skipped as
// blank by a reader, and the record lost).
void append_csv_record(std::string& line, const std::vector<std::string>& fields,
                       bool quote_blank_edges = false, Formulas formulas = Formulas::Kept);

// Whether Formulas::Neutralised puts a "'" before `text`.
bool needs_formula_guard(std::string_view text);

// The text of a cell written with Formulas::Neutralised: the "'" put
// before it removed, and nothing else.
std::string strip_formula_guard(std::string text);

} // namespace hipaa::tools

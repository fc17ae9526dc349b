#include "syntax/repair_record.hpp"

#include "base/failure.hpp"
#include "syntax/utf8.hpp"

namespace hipaa::syntax {

SourceMap::Place SourceMap::place(std::size_t offset) {
  if (offset < offset_) {
    offset_ = 0;
    here_ = Place{0, 1, 1};
  }
  while (offset_ < offset && offset_ < text_.size()) {
    if (text_[offset_] == '\n') {
      ++here_.line;
      here_.column = 1;
    } else {
      ++here_.column;
    }
    ++here_.char_pos;
    offset_ += char_length_lenient(text_, offset_);
  }
  return here_;
}

namespace {

void append_tokens(std::string& line, const std::vector<int>& tokens, TokenNamer name) {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (i > 0) line += ' ';
    line += name(tokens[i]);
  }
}

std::string action_text(const RepairRecord& record, TokenNamer name) {
  std::string text;
  switch (record.action) {
  case RepairAction::Insert: text = "try inserting "; break;
  case RepairAction::Delete: text = "try deleting "; break;
  case RepairAction::Substitute:
    text = "try substituting ";
    append_tokens(text, record.tokens, name);
    text += " for ";
    append_tokens(text, record.old_tokens, name);
    return text;
  case RepairAction::Failure: text = "syntax error at "; break;
  }
  append_tokens(text, record.tokens, name);
  return text;
}

} // namespace

std::vector<std::string> repair_lines(const std::vector<RepairRecord>& records,
                                      std::string_view framed, TokenNamer name) {
  SourceMap map(framed);
  std::vector<std::string> lines;
  lines.reserve(records.size());
  for (const RepairRecord& record : records) {
    const SourceMap::Place place = map.place(record.offset);
    lines.push_back("[" + std::to_string(place.line) + "." + std::to_string(place.column) +
                    "]: " + action_text(record, name) + "\n");
  }
  return lines;
}

void add_record(std::vector<RepairRecord>& records, RepairRecord record, std::string_view framed) {
  if (!records.empty() && record.offset <= records.back().offset) {
    SourceMap map(framed);
    const std::size_t last = map.place(records.back().offset).char_pos;
    const std::size_t adding = map.place(record.offset).char_pos;
    throw Fail("bug: repairs not monotonic adding at " + std::to_string(adding) +
               " to a max pos of " + std::to_string(last));
  }
  records.push_back(std::move(record));
}

} // namespace hipaa::syntax

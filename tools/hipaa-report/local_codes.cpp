#include "local_codes.hpp"

#include "../common/log_tables.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace hipaa::report {

namespace {

bool name_character(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.';
}

// Where `name` first stands whole in `text`, or npos.
std::size_t whole_mention(const std::string& text, const std::string& name) {
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    // A dot ends a sentence as often as it joins a name: only one followed
    // by a name character continues the name.
    const bool continues = end < text.size() && name_character(text[end]) &&
                           !(text[end] == '.' && (end + 1 >= text.size() ||
                                                  !name_character(text[end + 1])));
    if ((at == 0 || !name_character(text[at - 1])) && !continues) return at;
  }
  return std::string::npos;
}

} // namespace

LocalCodes LocalCodes::read(db::Connection& connection) {
  LocalCodes codes;
  // A log imported without a map has no such table, and the query does not
  // prepare.
  std::optional<db::Statement> rows = db::Statement::prepare(
      connection, std::string("SELECT constant, local FROM \"") +
                      tools::case_tables::kImportCodes + "\" ORDER BY constant, local");
  if (!rows) return codes;
  std::map<std::string, std::vector<std::string>> by_constant;
  while (rows->step() == db::StepStatus::Row) {
    db::Row row = rows->get_data();
    if (row.size() == 2 && !row[0].empty() && !row[1].empty()) {
      by_constant[row[0]].push_back(row[1]);
    }
  }
  for (const auto& [constant, locals] : by_constant) {
    std::string note = locals.size() == 1 ? " (local code " : " (local codes ";
    for (std::size_t i = 0; i < locals.size(); ++i) note += (i ? ", " : "") + locals[i];
    codes.notes_.emplace_back(constant, note + ")");
  }
  return codes;
}

std::string LocalCodes::annotate(const std::string& text) const {
  // The places are found in the text as it was, and the notes inserted from
  // the last place back, so that no note is read as a mention.
  std::vector<std::pair<std::size_t, const std::string*>> inserts;
  for (const auto& [constant, note] : notes_) {
    const std::size_t at = whole_mention(text, constant);
    if (at != std::string::npos) inserts.emplace_back(at + constant.size(), &note);
  }
  std::sort(inserts.begin(), inserts.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  std::string result = text;
  for (const auto& [end, note] : inserts) result.insert(end, *note);
  return result;
}

} // namespace hipaa::report

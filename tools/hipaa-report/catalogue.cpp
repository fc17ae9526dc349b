#include "catalogue.hpp"

#include "../common/tool_error.hpp"

#include "base/failure.hpp"
#include "base/file_io.hpp"

#include <filesystem>

namespace hipaa::report {

namespace {

// The columns of `header` by name; a ToolError when one of `wanted` is
// missing.
std::map<std::string, std::size_t> columns_of(const std::vector<std::string>& header,
                                              const std::vector<std::string>& wanted,
                                              const std::string& path) {
  std::map<std::string, std::size_t> columns;
  for (std::size_t i = 0; i < header.size(); ++i) columns.emplace(header[i], i);
  for (const std::string& name : wanted) {
    if (!columns.count(name)) throw tools::ToolError(path + ":1: no column " + name);
  }
  return columns;
}

std::string read_optional(const std::string& path, bool required) {
  std::error_code error;
  if (!required && !std::filesystem::exists(path, error)) return {};
  try {
    return read_text_file(path);
  } catch (const Failure& failure) {
    throw tools::ToolError(path + ": cannot read the file (" + failure.message() + ")");
  }
}

} // namespace

std::vector<std::vector<std::string>> read_csv_records(const std::string& text,
                                                       const std::string& path) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record(1);
  bool quoted = false;
  bool any = false;
  std::size_t line = 1;
  std::size_t record_line = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n') ++line;
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        record.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        record.back() += c;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ',') {
      record.emplace_back();
      any = true;
    } else if (c == '\n') {
      if (any || record.size() > 1 || !record.front().empty()) records.push_back(std::move(record));
      record.assign(1, std::string());
      any = false;
      record_line = line;
    } else if (c != '\r') {
      record.back() += c;
      any = true;
    }
  }
  if (quoted) {
    throw tools::ToolError(path + ":" + std::to_string(record_line) +
                           ": a quoted field is not closed");
  }
  if (any || record.size() > 1 || !record.front().empty()) records.push_back(std::move(record));
  return records;
}

Catalogue Catalogue::load(const std::string& catalogue_path, bool required) {
  Catalogue catalogue;
  std::string text = read_optional(catalogue_path, required);
  if (text.empty()) return catalogue;
  std::vector<std::vector<std::string>> records = read_csv_records(text, catalogue_path);
  if (records.empty()) return catalogue;
  auto columns = columns_of(
      records.front(),
      {"clause", "citation", "title", "quotation", "log_decides", "person_judges", "url"},
      catalogue_path);
  for (std::size_t r = 1; r < records.size(); ++r) {
    const std::vector<std::string>& record = records[r];
    auto field = [&](const char* name) {
      std::size_t at = columns.at(name);
      return at < record.size() ? record[at] : std::string();
    };
    std::string name = field("clause");
    if (name.empty()) continue;
    catalogue.clauses_[name] =
        ClauseEntry{field("citation"),    field("title"),         field("quotation"),
                    field("log_decides"), field("person_judges"), field("url")};
  }
  for (const auto& [name, entry] : catalogue.clauses_) {
    if (entry.citation.empty() && entry.title.empty()) continue;
    std::string text = entry.citation;
    if (!entry.title.empty()) text += (text.empty() ? "" : " ") + entry.title;
    catalogue.described_.emplace(name, std::move(text));
  }
  std::filesystem::path templates_path =
      std::filesystem::path(catalogue_path).parent_path() / "templates.csv";
  std::string templates = read_optional(templates_path.string(), false);
  if (templates.empty()) return catalogue;
  records = read_csv_records(templates, templates_path.string());
  if (records.empty()) return catalogue;
  columns = columns_of(records.front(), {"predicate", "if_false", "if_true", "question"},
                       templates_path.string());
  for (std::size_t r = 1; r < records.size(); ++r) {
    const std::vector<std::string>& record = records[r];
    auto field = [&](const char* name) {
      std::size_t at = columns.at(name);
      return at < record.size() ? record[at] : std::string();
    };
    if (field("predicate").empty()) continue;
    catalogue.templates_[field("predicate")] =
        PredicateTemplate{field("if_false"), field("if_true"), field("question")};
  }
  return catalogue;
}

const ClauseEntry* Catalogue::clause(const std::string& name) const {
  auto found = clauses_.find(name);
  return found == clauses_.end() ? nullptr : &found->second;
}

const PredicateTemplate* Catalogue::predicate(const std::string& name) const {
  auto found = templates_.find(name);
  return found == templates_.end() ? nullptr : &found->second;
}

const std::string& Catalogue::describe(const std::string& clause) const {
  auto found = described_.find(clause);
  return found == described_.end() ? clause : found->second;
}

} // namespace hipaa::report

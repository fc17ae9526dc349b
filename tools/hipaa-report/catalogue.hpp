// What the report knows about the policy's clauses and predicates besides
// their names: the clause catalogue (citation, title, the paragraph's words,
// a link to its text) and the sentence templates of the predicates, both
// shipped beside the policy as CSV files.  A policy without them still
// reports, by names alone and with facts in policy syntax.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hipaa::report {

struct ClauseEntry {
  std::string citation;
  std::string title;
  std::string quotation;
  std::string log_decides;
  std::string person_judges;
  std::string url;
};

// The sentences of a predicate's fact, or of its fact where it decides one
// clause (a row named "pred@clause"; "@clause" for a clause none of whose
// alternatives applied).  {1}..{n} stand for the atom's arguments; in a
// clause's row {column} stands for the instance's value of that column.
struct PredicateTemplate {
  std::string if_false;
  std::string if_true;
  std::string question;
};

class Catalogue {
public:
  Catalogue() = default;

  // Reads catalogue.csv and, beside it, templates.csv.  With `required`
  // a missing catalogue is a ToolError; otherwise it is an empty one.  A
  // file that is there but malformed is a ToolError naming file and line.
  static Catalogue load(const std::string& catalogue_path, bool required);

  const ClauseEntry* clause(const std::string& name) const;
  const PredicateTemplate* predicate(const std::string& name) const;
  // "45 CFR 164.506(c)(2) Treatment by a health-care provider", or the name
  // alone for a clause the catalogue does not hold.
  const std::string& describe(const std::string& clause) const;
  bool empty() const { return clauses_.empty(); }

private:
  std::map<std::string, ClauseEntry> clauses_;
  std::map<std::string, PredicateTemplate> templates_;
  // describe()'s text, made once per clause when the catalogue is read.
  std::map<std::string, std::string> described_;
};

// The records of an RFC 4180 text (CR LF or LF), each a list of fields; a
// ToolError naming `path` and the line for an unterminated quote.
std::vector<std::vector<std::string>> read_csv_records(const std::string& text,
                                                       const std::string& path);

} // namespace hipaa::report

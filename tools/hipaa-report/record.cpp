#include "record.hpp"

#include "json_text.hpp"

#include "common/csv_field.hpp"
#include "logic/printer.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ctime>
#include <string_view>

namespace hipaa::report {

namespace {

using Json = nlohmann::ordered_json;

// Where no permission holds: said in words, never by the name of the
// disjunction of permissions, which reads as its opposite.
constexpr const char* kPermissions = "permitted";
constexpr const char* kNoPermission = "no clause permits the disclosure";

std::string joined(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += separator;
    text += item;
  }
  return text;
}

std::string obligation_text(const Obligation& obligation) {
  std::string text = obligation.clause + ": ";
  if (obligation.overdue) text += "overdue, ";
  text += "awaiting a disclosure";
  if (obligation.deadline) text += " by " + iso_date(*obligation.deadline);
  return text;
}

std::string judgement_text(const Formula& atom) {
  const Atom& record = *atom.as<Atom>();
  std::string text = print_atom_text(record.pred, record.args);
  return atom.name ? *atom.name + ": " + text : text;
}

// A date in a sentence: "2010-01-06 17:34", with seconds only when there
// are some.
std::string sentence_date(const DateValue& value) {
  std::string text = iso_date(value);
  std::size_t t = text.find('T');
  if (t != std::string::npos) text[t] = ' ';
  if (text.size() >= 3 && text.compare(text.size() - 3, 3, ":00") == 0)
    text.resize(text.size() - 3);
  return text;
}

// A value in a sentence.
std::string sentence_value(const Term& term) {
  if (const auto* text = term.as<StrTerm>()) return text->text;
  if (const auto* date = term.as<DateTerm>()) return sentence_date(date->value);
  return print_term(term);
}

// The instance's value of `column`, or null.
const std::string* instance_value(const ColumnValues& instance, const std::string& column) {
  for (const auto& [name, value] : instance) {
    if (name == column && !value.empty()) return &value;
  }
  return nullptr;
}

// The instance's value of `column`, else the column in words: "the
// covered entity".
std::string column_value(const ColumnValues& instance, const std::string& column) {
  if (const std::string* value = instance_value(instance, column)) return *value;
  std::string words = "the " + column;
  std::replace(words.begin(), words.end(), '_', ' ');
  return words;
}

// What fills the places of a failed fact's sentence.  A value the fact
// leaves open (a variable) is the instance's value of the column of the
// same name where the instance has one (the attribute disclosed, say),
// else named by its table column: "the discloser", "the covered entity".
class Places {
public:
  Places(const std::vector<std::string>* columns, const ColumnValues& instance)
      : columns_(columns), instance_(instance) {}

  std::vector<std::string> operator()(const TermList& terms) const {
    std::vector<std::string> values;
    values.reserve(terms.size());
    for (std::size_t i = 0; i < terms.size(); ++i) values.push_back(value(*terms[i], i));
    return values;
  }

private:
  std::string value(const Term& term, std::size_t place) const {
    if (!term.is<VarTerm>()) return sentence_value(term);
    if (columns_ == nullptr || place >= columns_->size()) return "a value";
    const std::string& column = (*columns_)[place];
    if (column == "attr") {
      const std::string* attr = instance_value(instance_, column);
      return attr != nullptr ? *attr : "the information";
    }
    return column_value(instance_, column);
  }

  const std::vector<std::string>* columns_;
  const ColumnValues& instance_;
};

// `pattern` with {1}..{n} replaced by `args` and {column} by the
// instance's value of that column, or the column in words where it has none
// (sentences written for one clause name the disclosure's sender, time or
// message this way).  Any other brace stays as it is.  One pass, so that no
// value is read as a place.
std::string fill_sentence(const std::string& pattern, const std::vector<std::string>& args,
                          const ColumnValues& instance) {
  constexpr std::size_t kLongestName = 32;
  std::string text;
  text.reserve(pattern.size() + 64);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    std::size_t close = pattern[i] == '{' ? pattern.find('}', i) : std::string::npos;
    if (close != std::string::npos && close > i + 1 && close - i <= kLongestName + 1) {
      const std::string name = pattern.substr(i + 1, close - i - 1);
      if (std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        std::size_t index = name.size() <= 2 ? std::stoul(name) : 0;
        if (index >= 1 && index <= args.size()) {
          text += args[index - 1];
          i = close;
          continue;
        }
      } else if (std::all_of(name.begin(), name.end(),
                             [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; })) {
        text += column_value(instance, name);
        i = close;
        continue;
      }
    }
    text += pattern[i];
  }
  return text;
}

// The atom's arguments, each open one taken from the nearest row.
TermList completed(const TermList& args, const TermList& row) {
  TermList values = args;
  for (std::size_t i = 0; i < values.size() && i < row.size(); ++i) {
    if (values[i]->is<VarTerm>()) values[i] = row[i];
  }
  return values;
}

// A fact's sentences: those the templates write for the predicate in the
// clause the fact decided ("pred@clause"), which say in the clause's terms
// what its failure means (a decedent's 50 years not yet passed, a request
// left unanswered), else the predicate's own.  "@clause" is the sentence
// for a clause none of whose alternatives applied.
std::string fact_text(const FailedFact& fact, const Catalogue& catalogue, const Layout& layout,
                      const ColumnValues& instance) {
  const PredicateTemplate* own = catalogue.predicate(fact.pred + "@" + fact.clause);
  if (fact.pred.empty() || (fact.none_applies && fact.clause == kPermissions)) {
    if (fact.clause == kPermissions) {
      return "no clause permits the disclosure, and none applies: the first condition of "
             "every permission fails";
    }
    if (own != nullptr && !own->if_false.empty()) return fill_sentence(own->if_false, {}, instance);
    return "no alternative of " + fact.clause + " applies";
  }
  const Places places(layout.table_columns(fact.pred), instance);
  const PredicateTemplate* sentence = own != nullptr ? own : catalogue.predicate(fact.pred);
  const std::string& pattern = sentence == nullptr ? std::string()
                               : fact.holds        ? sentence->if_true
                                                   : sentence->if_false;
  std::string text;
  if (fact.holds) {
    TermList values = completed(fact.args, fact.nearest);
    text = pattern.empty() ? print_atom_text(fact.pred, values) + " holds"
                           : fill_sentence(pattern, places(values), instance);
  } else {
    text = pattern.empty() ? print_atom_text(fact.pred, fact.args) + " does not hold"
                           : fill_sentence(pattern, places(fact.args), instance);
    if (!fact.nearest.empty()) {
      // A row of the table agrees with the atom's values, but not in all it
      // must: the one the clause came nearest to resting on.
      TermList row = completed(fact.args, fact.nearest);
      text += "; the nearest record: ";
      text += sentence != nullptr && !sentence->if_true.empty()
                  ? fill_sentence(sentence->if_true, places(row), instance)
                  : print_atom_text(fact.pred, row);
    }
  }
  // What the prohibition rests on comes first; the exception that did not
  // apply after it, unless the clause's own sentence for the record already
  // says why the record broke it.
  if (fact.holds && own != nullptr) return text;
  for (const FailedFact& exception : fact.exception) {
    if (exception.none_applies || exception.pred.empty()) {
      text += "; none of its exceptions applies";
    } else {
      text += "; its exception does not apply: " + fact_text(exception, catalogue, layout, instance);
    }
  }
  return text;
}

// Sets `slot` to `text`, reusing the string it already holds.
void set_text(Json& slot, std::string_view text) {
  if (slot.is_string()) slot.get_ref<std::string&>().assign(text);
  else slot = std::string(text);
}

// Sets `slot` to an array of `texts`, reusing the strings it holds.
void set_texts(Json& slot, const std::vector<std::string>& texts) {
  if (!slot.is_array()) slot = Json::array();
  Json::array_t& items = slot.get_ref<Json::array_t&>();
  items.resize(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) set_text(items[i], texts[i]);
}

std::int64_t utc_offset(std::int64_t seconds) {
  std::time_t at = static_cast<std::time_t>(seconds);
  std::tm broken{};
  if (localtime_r(&at, &broken) == nullptr) return 0;
  return broken.tm_gmtoff;
}

} // namespace

namespace {

// "2010-01-04T12:00:10" for the printed date "2010:01:04:12:00:10".
std::string iso_text(std::string text) {
  // Y:M:D:h:m:s, the year possibly shorter than four digits.
  int colons = 0;
  for (char& c : text) {
    if (c != ':') continue;
    ++colons;
    c = colons < 3 ? '-' : colons == 3 ? 'T' : ':';
  }
  return text;
}

} // namespace

std::string iso_date(const DateValue& value) { return iso_text(date_to_text(value)); }

std::string plain_value(const Term& term) {
  if (const auto* text = term.as<StrTerm>()) return text->text;
  if (const auto* date = term.as<DateTerm>()) return iso_date(date->value);
  return print_term(term);
}

bool RecordMaker::skipped(const DateValue& value) {
  mpz_fdiv_q_ui(seconds_.get_mpz_t(), value.get_mpz_t(), kNanosPerSecond);
  if (!seconds_.fits_slong_p()) return false;
  const std::int64_t hour = seconds_.get_si() / 3600;
  auto [known, added] = quiet_hours_.try_emplace(hour, true);
  if (added) {
    // Quiet when the offset is the same from two hours before the hour to
    // its end.
    std::int64_t start = hour * 3600;
    known->second = utc_offset(start - 7200) == utc_offset(start + 3600) &&
                    utc_offset(start - 3600) == utc_offset(start);
  }
  return !known->second && in_skipped_hour(value);
}

bool in_skipped_hour(const DateValue& value) {
  // Zones move their clocks by at most two hours.
  constexpr std::int64_t kLongestGap = 7200;
  mpz_class whole = value / kNanosPerSecond;
  if (!whole.fits_slong_p()) return false;
  const std::int64_t seconds = whole.get_si();
  const std::int64_t now = utc_offset(seconds);
  if (now - utc_offset(seconds - kLongestGap) <= 0) return false;
  // The moment of the change: the first second with the later offset.
  std::int64_t low = seconds - kLongestGap, high = seconds;
  while (high - low > 1) {
    std::int64_t middle = low + (high - low) / 2;
    (utc_offset(middle) == now ? high : low) = middle;
  }
  return seconds - high < now - utc_offset(low);
}

std::string reason_text(const InstanceVerdict& verdict, const Catalogue& catalogue,
                        const Layout& layout, const ColumnValues& instance) {
  if (verdict.verdict != Verdict::Violation) return {};
  std::string text;
  // A clause may await the same disclosure on more than one path of the
  // residual: the reason says it once.
  std::vector<std::string> said;
  for (const Obligation& obligation : verdict.obligations) {
    if (!obligation.overdue) continue;
    std::string sentence = obligation.clause + ": the disclosure it awaits";
    if (obligation.deadline) sentence += " by " + sentence_date(*obligation.deadline);
    sentence += " has not been made";
    if (std::find(said.begin(), said.end(), sentence) != said.end()) continue;
    if (!text.empty()) text += "; ";
    text += sentence;
    said.push_back(std::move(sentence));
  }
  if (!text.empty()) return text;
  if (!verdict.failed) {
    return verdict.clauses.empty() ? std::string("the rule fails")
                                   : verdict.clauses.back() + " fails";
  }
  return verdict.failed->clause + ": " + fact_text(*verdict.failed, catalogue, layout, instance);
}

Layout::Layout(const std::vector<Rule>& rules, const Signature& signature) : rules_(rules) {
  // The table whose columns name the arguments of a guard atom: its own
  // for a table predicate; for an evaluated one, the table it reads (the
  // predicate of the same name with "_db" added or "-eval" removed).
  auto table_columns = [&](const std::string& pred) -> const std::vector<std::string>* {
    for (const std::string& name :
         {pred, pred + "_db",
          pred.size() > 5 && pred.ends_with("-eval") ? pred.substr(0, pred.size() - 5)
                                                     : std::string()}) {
      for (const DeclEntry& entry : signature) {
        if (entry.name != name) continue;
        const auto* decl = std::get_if<PredDecl>(&entry.decl);
        if (decl != nullptr && decl->cls == PredClass::Db && decl->dbinfo) {
          return &decl->dbinfo->columns;
        }
      }
    }
    return nullptr;
  };
  for (const DeclEntry& entry : signature) {
    const auto* decl = std::get_if<PredDecl>(&entry.decl);
    if (decl != nullptr && decl->cls == PredClass::Db && decl->dbinfo) {
      tables_.emplace(entry.name, decl->dbinfo->columns);
    }
  }
  for (const Rule& rule : rules_) {
    std::vector<std::size_t> columns;
    if (rule.all != nullptr) {
      const BoundList& bound = rule.all->bound;
      std::vector<std::string> names(bound.size());
      std::vector<const GAtom*> atoms;
      std::vector<const Guard*> pending{rule.all->guard.get()};
      while (!pending.empty()) {
        const Guard* guard = pending.front();
        pending.erase(pending.begin());
        if (const auto* atom = guard->as<GAtom>()) atoms.push_back(atom);
        if (const auto* conj = guard->as<GAnd>()) {
          for (const GuardPtr& member : conj->conjuncts) pending.push_back(member.get());
        }
        if (const auto* ex = guard->as<GEx>()) pending.push_back(ex->guard.get());
      }
      for (const GAtom* atom : atoms) {
        const std::vector<std::string>* table = table_columns(atom->pred);
        if (table == nullptr) continue;
        for (std::size_t i = 0; i < atom->args.size() && i < table->size(); ++i) {
          const auto* var = atom->args[i]->as<VarTerm>();
          if (var == nullptr) continue;
          for (std::size_t b = 0; b < bound.size(); ++b) {
            bool taken = std::find(names.begin(), names.end(), (*table)[i]) != names.end();
            if (bound[b].var == var->name && names[b].empty() && !taken) names[b] = (*table)[i];
          }
        }
      }
      for (std::size_t b = 0; b < bound.size(); ++b) {
        if (names[b].empty()) names[b] = bound[b].var;
        auto found = std::find(names_.begin(), names_.end(), names[b]);
        if (found == names_.end()) {
          names_.push_back(names[b]);
          found = names_.end() - 1;
        }
        columns.push_back(static_cast<std::size_t>(found - names_.begin()));
      }
    }
    of_rule_.push_back(std::move(columns));
  }
}

const std::vector<std::string>* Layout::table_columns(const std::string& pred) const {
  auto found = tables_.find(pred);
  return found == tables_.end() ? nullptr : &found->second;
}

// The file is opened in spreadsheets: no cell may run as a formula.
constexpr tools::Formulas kCells = tools::Formulas::Neutralised;

std::string Layout::csv_header() const {
  std::string line = "position,rule";
  for (const std::string& name : names_) {
    line += ',';
    tools::append_csv_field(line, name, false, kCells);
  }
  line += ",verdict,broken,closest_permissions,reason,titles,permitted_by,open_clauses,"
          "judgements,obligations,residual,warnings,questions,decisions\r\n";
  return line;
}

struct RecordMaker::Kept {
  Json object;
};

RecordMaker::RecordMaker(const Layout& layout, const Catalogue& catalogue)
    : layout_(layout), catalogue_(catalogue), kept_(layout.rules().size()) {}

RecordMaker::~RecordMaker() = default;

Record RecordMaker::make(std::size_t rule, std::size_t position, const TermList& tuple,
                         const InstanceVerdict& verdict, const PersonColumns& person) {
  const Rule& of = layout_.rules()[rule];
  Record record;
  record.position = position;
  record.rule = rule;
  record.verdict = verdict.verdict;
  record.clauses = verdict.clauses;
  record.overdue = std::any_of(verdict.obligations.begin(), verdict.obligations.end(),
                               [](const Obligation& obligation) { return obligation.overdue; });

  std::vector<std::string> permitted_by, open_clauses;
  if (verdict.verdict == Verdict::Violation) {
    auto permissions = std::find(verdict.clauses.begin(), verdict.clauses.end(), kPermissions);
    record.broken.assign(verdict.clauses.begin(), permissions);
    if (permissions != verdict.clauses.end()) {
      record.broken.push_back(kNoPermission);
      record.closest_permissions.assign(permissions + 1, verdict.clauses.end());
    }
    if (person.decided_by.empty()) {
      ColumnValues instance;
      std::size_t count = of.all != nullptr ? tuple.size() : 0;
      for (std::size_t i = 0; i < count; ++i) {
        instance.emplace_back(layout_.column_name(layout_.columns_of(rule)[i]), sentence_value(*tuple[i]));
      }
      record.reason = reason_text(verdict, catalogue_, layout_, instance);
      if (local_codes_ != nullptr) record.reason = local_codes_->annotate(record.reason);
    } else {
      record.reason = "settled by decisions: " + person.decided_by;
    }
  } else if (verdict.verdict == Verdict::Compliant) {
    permitted_by = verdict.clauses;
  } else {
    open_clauses = verdict.clauses;
  }
  const std::vector<std::string>& described =
      verdict.verdict == Verdict::Violation ? verdict.clauses : record.clauses;
  // The rows a person reads: a compliant one's permission is named in
  // permitted_by, and its title in the catalogue and on the page.
  for (const std::string& clause : described) {
    if (verdict.verdict == Verdict::Compliant) break;
    if (clause != kPermissions || verdict.verdict != Verdict::Violation) {
      record.titles.push_back(catalogue_.describe(clause));
    }
  }

  // The keys follow from the rule alone: a kept object has them all, in
  // order.
  std::unique_ptr<Kept>& kept = kept_[rule];
  if (!kept) {
    kept = std::make_unique<Kept>();
    kept->object["position"] = nullptr;
    kept->object["rule"] = of.name;
    kept->object["values"] = Json::object();
  }
  Json& object = kept->object;
  object["position"] = position;
  Json& values = object["values"];
  std::size_t values_count = of.all != nullptr ? tuple.size() : 0;
  std::vector<std::string> cells(layout_.value_columns());
  for (std::size_t i = 0; i < values_count; ++i) {
    std::size_t column = layout_.columns_of(rule)[i];
    const std::string& name = layout_.column_name(column);
    std::string printed = print_term(*tuple[i]);
    if (const auto* text = tuple[i]->as<StrTerm>()) cells[column] = text->text;
    else if (tuple[i]->is<DateTerm>()) cells[column] = iso_text(printed);
    else cells[column] = printed;
    set_text(values[name], printed);
    if (!record.values.empty()) record.values += ", ";
    record.values += name + " = " + cells[column];
    if (const auto* date = tuple[i]->as<DateTerm>()) {
      if (record.day.empty()) record.day = cells[column].substr(0, cells[column].find('T'));
      if (skipped(date->value)) {
        record.warnings.push_back(
            name + " " + cells[column] +
            " lies in the hour after the local clocks moved forward: a time written in the "
            "skipped hour reads as this one");
      }
    }
  }
  if (!record.warnings.empty() && !record.reason.empty()) {
    record.reason += " (warning: " + joined(record.warnings, "; ") + ")";
  }

  std::vector<std::string> judgements;
  for (const FormulaPtr& atom : verdict.judgements) judgements.push_back(judgement_text(*atom));
  std::vector<std::string> obligations;
  std::string residual = print_formula(*verdict.residual);

  set_text(object["verdict"], verdict_word(verdict.verdict));
  set_texts(object["broken"], record.broken);
  set_texts(object["closest_permissions"], record.closest_permissions);
  set_text(object["reason"], record.reason);
  set_texts(object["titles"], record.titles);
  set_texts(object["permitted_by"], permitted_by);
  set_texts(object["open_clauses"], open_clauses);
  set_texts(object["judgements"], judgements);
  Json& obligation_list = object["obligations"];
  if (!obligation_list.is_array()) obligation_list = Json::array();
  obligation_list.get_ref<Json::array_t&>().clear();
  for (const Obligation& obligation : verdict.obligations) {
    obligations.push_back(obligation_text(obligation));
    Json item;
    item["clause"] = obligation.clause;
    item["deadline"] = obligation.deadline ? Json(iso_date(*obligation.deadline)) : Json(nullptr);
    item["overdue"] = obligation.overdue;
    obligation_list.push_back(std::move(item));
  }
  set_text(object["residual"], residual);
  set_texts(object["warnings"], record.warnings);
  set_text(object["questions"], person.questions);
  set_text(object["decisions"], person.decided_by);
  // A log may hold bytes that are not UTF-8; they must not stop the report.
  record.json.clear();
  append_compact_json(record.json, object);

  std::string& line = record.csv;
  line.reserve(256 + residual.size() + record.reason.size());
  line = std::to_string(position);
  line += ',';
  tools::append_csv_field(line, of.name, false, kCells);
  for (const std::string& cell : cells) {
    line += ',';
    tools::append_csv_field(line, cell, false, kCells);
  }
  for (const std::string& field :
       {std::string(verdict_word(verdict.verdict)), joined(record.broken, "; "),
        joined(record.closest_permissions, " "), record.reason, joined(record.titles, "; "),
        joined(permitted_by, " "), joined(open_clauses, " "), joined(judgements, "; "),
        joined(obligations, "; "), residual, joined(record.warnings, "; "), person.questions,
        person.decided_by}) {
    line += ',';
    tools::append_csv_field(line, field, false, kCells);
  }
  line += "\r\n";
  return record;
}

} // namespace hipaa::report

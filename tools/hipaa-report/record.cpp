#include "record.hpp"

#include "common/csv_field.hpp"
#include "logic/printer.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string_view>

namespace hipaa::report {

namespace {

using Json = nlohmann::ordered_json;

bool is_date(const BoundVar& var) { return var.sort && var.sort->kind == Sort::Kind::Date; }

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

} // namespace

std::string iso_date(const DateValue& value) {
  std::string text = date_to_text(value);
  // Y:M:D:h:m:s, the year possibly shorter than four digits.
  int colons = 0;
  for (char& c : text) {
    if (c != ':') continue;
    ++colons;
    c = colons < 3 ? '-' : colons == 3 ? 'T' : ':';
  }
  return text;
}

Layout::Layout(const std::vector<Rule>& rules) : rules_(rules) {
  for (const Rule& rule : rules_) {
    std::vector<std::size_t> columns;
    if (rule.all != nullptr) {
      for (const BoundVar& var : rule.all->bound) {
        auto found = std::find_if(columns_.begin(), columns_.end(),
                                  [&](const Column& column) { return column.name == var.var; });
        if (found == columns_.end()) {
          columns_.push_back(Column{var.var, false});
          found = columns_.end() - 1;
        }
        found->date = found->date || is_date(var);
        columns.push_back(static_cast<std::size_t>(found - columns_.begin()));
      }
    }
    of_rule_.push_back(std::move(columns));
  }
}

// The file is opened in spreadsheets: no cell may run as a formula.
constexpr tools::Formulas kCells = tools::Formulas::Neutralised;

std::string Layout::csv_header() const {
  std::string line = "position,rule";
  for (const Column& column : columns_) {
    line += "," + tools::csv_field(column.name, false, kCells);
    if (column.date) line += "," + tools::csv_field(column.name + "_iso", false, kCells);
  }
  line += ",verdict,clause,judgements,obligations,residual,questions,decisions\r\n";
  return line;
}

struct RecordMaker::Kept {
  Json object;
  std::vector<bool> dates; // which values of the tuple were dates
};

RecordMaker::RecordMaker(const Layout& layout) : layout_(layout), kept_(layout.rules().size()) {}

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

  std::size_t values_count = of.all != nullptr ? tuple.size() : 0;
  std::vector<bool> dates(values_count);
  for (std::size_t i = 0; i < values_count; ++i) dates[i] = tuple[i]->is<DateTerm>();
  // The object's keys follow from the rule and from which values are
  // dates: a kept object of the same shape has them all, in order.
  std::unique_ptr<Kept>& kept = kept_[rule];
  if (!kept || kept->dates != dates) {
    kept = std::make_unique<Kept>();
    kept->dates = dates;
    kept->object["position"] = nullptr;
    kept->object["rule"] = of.name;
    kept->object["values"] = Json::object();
  }
  Json& object = kept->object;
  object["position"] = position;
  // The values apart, so that no variable's name can clash with a field.
  Json& values = object["values"];
  std::vector<std::string> cells(layout_.value_columns());
  std::vector<std::string> iso_cells(layout_.value_columns());
  for (std::size_t i = 0; i < values_count; ++i) {
    const BoundVar& var = of.all->bound[i];
    std::string printed = print_term(*tuple[i]);
    std::size_t column = layout_.columns_of(rule)[i];
    cells[column] = printed;
    set_text(values[var.var], printed);
    if (!record.values.empty()) record.values += ", ";
    record.values += var.var + " = " + printed;
    if (const auto* date = tuple[i]->as<DateTerm>()) {
      iso_cells[column] = iso_date(date->value);
      set_text(values[var.var + "_iso"], iso_cells[column]);
      if (record.day.empty()) record.day = iso_cells[column].substr(0, iso_cells[column].find('T'));
    }
  }

  std::vector<std::string> judgements;
  for (const FormulaPtr& atom : verdict.judgements) judgements.push_back(judgement_text(*atom));
  std::vector<std::string> obligations;
  std::string residual = print_formula(*verdict.residual);

  set_text(object["verdict"], verdict_word(verdict.verdict));
  set_texts(object["clause"], verdict.clauses);
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
  set_text(object["questions"], person.questions);
  set_text(object["decisions"], person.decided_by);
  // A log may hold bytes that are not UTF-8; they must not stop the report.
  record.json = object.dump(-1, ' ', false, Json::error_handler_t::replace);

  std::string& line = record.csv;
  // Room for the usual line at once, instead of growing it step by step.
  line.reserve(256 + residual.size());
  line = std::to_string(position);
  line += ',';
  tools::append_csv_field(line, of.name, false, kCells);
  for (std::size_t column = 0; column < cells.size(); ++column) {
    line += ',';
    tools::append_csv_field(line, cells[column], false, kCells);
    if (layout_.date_column(column)) {
      line += ',';
      tools::append_csv_field(line, iso_cells[column], false, kCells);
    }
  }
  line += ',';
  line += verdict_word(verdict.verdict);
  line += ',';
  tools::append_csv_field(line, joined(verdict.clauses, " "), false, kCells);
  line += ',';
  tools::append_csv_field(line, joined(judgements, "; "));
  line += ',';
  tools::append_csv_field(line, joined(obligations, "; "));
  line += ',';
  tools::append_csv_field(line, residual, false, kCells);
  line += ',';
  tools::append_csv_field(line, person.questions, false, kCells);
  line += ',';
  tools::append_csv_field(line, person.decided_by, false, kCells);
  line += "\r\n";
  return record;
}

} // namespace hipaa::report

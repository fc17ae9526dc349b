#include "record.hpp"

#include "logic/printer.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>

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

std::string csv_field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
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

std::string Layout::csv_header() const {
  std::string line = "position,rule";
  for (const Column& column : columns_) {
    line += "," + csv_field(column.name);
    if (column.date) line += "," + csv_field(column.name + "_iso");
  }
  line += ",verdict,clause,judgements,obligations,residual\r\n";
  return line;
}

Record make_record(const Layout& layout, std::size_t rule, std::size_t position,
                   const TermList& tuple, const InstanceVerdict& verdict) {
  const Rule& of = layout.rules()[rule];
  Record record;
  record.position = position;
  record.rule = rule;
  record.verdict = verdict.verdict;
  record.clauses = verdict.clauses;
  record.overdue = std::any_of(verdict.obligations.begin(), verdict.obligations.end(),
                               [](const Obligation& obligation) { return obligation.overdue; });

  Json object;
  object["position"] = position;
  object["rule"] = of.name;
  // The values apart, so that no variable's name can clash with a field.
  Json values = Json::object();
  std::vector<std::string> cells(layout.value_columns());
  std::vector<std::string> iso_cells(layout.value_columns());
  for (std::size_t i = 0; i < tuple.size() && of.all != nullptr; ++i) {
    const BoundVar& var = of.all->bound[i];
    std::string printed = print_term(*tuple[i]);
    std::size_t column = layout.columns_of(rule)[i];
    cells[column] = printed;
    values[var.var] = printed;
    if (!record.values.empty()) record.values += ", ";
    record.values += var.var + " = " + printed;
    if (const auto* date = tuple[i]->as<DateTerm>()) {
      iso_cells[column] = iso_date(date->value);
      values[var.var + "_iso"] = iso_cells[column];
      if (record.day.empty()) record.day = iso_cells[column].substr(0, iso_cells[column].find('T'));
    }
  }

  std::vector<std::string> judgements;
  for (const FormulaPtr& atom : verdict.judgements) judgements.push_back(judgement_text(*atom));
  std::vector<std::string> obligations;
  Json obligation_objects = Json::array();
  for (const Obligation& obligation : verdict.obligations) {
    obligations.push_back(obligation_text(obligation));
    Json item;
    item["clause"] = obligation.clause;
    item["deadline"] = obligation.deadline ? Json(iso_date(*obligation.deadline)) : Json(nullptr);
    item["overdue"] = obligation.overdue;
    obligation_objects.push_back(std::move(item));
  }
  std::string residual = print_formula(*verdict.residual);

  object["values"] = std::move(values);
  object["verdict"] = verdict_word(verdict.verdict);
  object["clause"] = verdict.clauses;
  object["judgements"] = judgements;
  object["obligations"] = std::move(obligation_objects);
  object["residual"] = residual;
  // A log may hold bytes that are not UTF-8; they must not stop the report.
  record.json = object.dump(-1, ' ', false, Json::error_handler_t::replace);

  std::string& line = record.csv;
  line = std::to_string(position) + "," + csv_field(of.name);
  for (std::size_t column = 0; column < cells.size(); ++column) {
    line += "," + csv_field(cells[column]);
    if (layout.date_column(column)) line += "," + csv_field(iso_cells[column]);
  }
  line += "," + std::string(verdict_word(verdict.verdict));
  line += "," + csv_field(joined(verdict.clauses, " "));
  line += "," + csv_field(joined(judgements, "; "));
  line += "," + csv_field(joined(obligations, "; "));
  line += "," + csv_field(residual) + "\r\n";
  return record;
}

} // namespace hipaa::report

#include "summary_part.hpp"

#include "../common/tool_error.hpp"

#include <nlohmann/json.hpp>

namespace hipaa::report {

namespace {

using Json = nlohmann::ordered_json;

std::optional<Verdict> verdict_named(const std::string& word) {
  for (Verdict verdict : {Verdict::Violation, Verdict::Open, Verdict::Compliant}) {
    if (word == verdict_word(verdict)) return verdict;
  }
  return std::nullopt;
}

std::string record_line(const Record& record) {
  Json line{{"position", record.position},
            {"rule", record.rule},
            {"verdict", verdict_word(record.verdict)},
            {"clauses", record.clauses},
            {"overdue", record.overdue},
            {"day", record.day},
            {"values", record.values},
            {"plain_values", record.plain_values}};
  // The open instance's questions, for the worklist of the whole run.
  if (!record.questions.empty()) {
    Json questions = Json::array();
    for (const Question& q : record.questions) {
      Json parts = Json::array();
      for (const QuestionAtom& part : q.parts) parts.push_back(Json::array({part.pred, part.args}));
      questions.push_back(Json::array({q.id, q.atom, q.clause, q.form, std::move(parts), q.args, q.settles}));
    }
    line["questions"] = std::move(questions);
  }
  if (!record.question_shape.empty()) line["shape"] = record.question_shape;
  if (!record.decided.empty()) {
    line["decided_by"] = record.decided_by;
    line["decided"] = record.decided;
  }
  // A violation's clauses and reason, and any warning, as the page and the
  // summary show them.
  if (!record.broken.empty()) line["broken"] = record.broken;
  if (!record.closest_permissions.empty()) line["closest"] = record.closest_permissions;
  if (!record.reason.empty()) line["reason"] = record.reason;
  if (!record.warnings.empty()) line["warnings"] = record.warnings;
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Record record_of(const Json& line) {
  Record record;
  record.position = line.at("position").get<std::size_t>();
  record.rule = line.at("rule").get<std::size_t>();
  std::optional<Verdict> verdict = verdict_named(line.at("verdict").get<std::string>());
  if (!verdict) throw std::invalid_argument("unknown verdict");
  record.verdict = *verdict;
  record.clauses = line.at("clauses").get<std::vector<std::string>>();
  record.overdue = line.at("overdue").get<bool>();
  record.day = line.at("day").get<std::string>();
  record.values = line.at("values").get<std::string>();
  record.plain_values = line.at("plain_values").get<std::vector<std::string>>();
  if (line.contains("questions")) {
    for (const Json& q : line.at("questions")) {
      Question question{q.at(0).get<std::string>(), q.at(1).get<std::string>(),
                        q.at(2).get<std::string>(), q.at(3).get<std::string>(), {},
                        q.at(5).get<std::vector<std::string>>(), q.at(6).get<bool>()};
      for (const Json& part : q.at(4)) {
        question.parts.push_back(QuestionAtom{part.at(0).get<std::string>(),
                                              part.at(1).get<std::vector<std::string>>()});
      }
      record.questions.push_back(std::move(question));
    }
  }
  record.question_shape = line.value("shape", "");
  record.decided_by = line.value("decided_by", "");
  if (line.contains("decided")) record.decided = line.at("decided").get<std::vector<std::string>>();
  const auto texts = [&](const char* key) {
    return line.contains(key) ? line.at(key).get<std::vector<std::string>>()
                              : std::vector<std::string>();
  };
  record.broken = texts("broken");
  record.closest_permissions = texts("closest");
  record.warnings = texts("warnings");
  record.reason = line.value("reason", "");
  return record;
}

} // namespace

void SummaryPartWriter::add(const Record& record) {
  if (record.verdict == Verdict::Compliant && !record.overdue && record.decided.empty() &&
      record.warnings.empty()) {
    ++plain_[record.rule];
    // The page shows the log's first and last day, whatever the verdicts.
    if (!record.day.empty()) {
      if (first_day_.empty() || record.day < first_day_) first_day_ = record.day;
      if (record.day > last_day_) last_day_ = record.day;
    }
    return;
  }
  out_ << record_line(record) << '\n';
}

void SummaryPartWriter::finish() {
  out_ << Json{{"plain", plain_}, {"days", Json::array({first_day_, last_day_})}}.dump() << '\n';
}

SummaryPartReader::SummaryPartReader(std::string path, std::size_t rules)
    : path_(std::move(path)), in_(path_, std::ios::binary), plain_(rules) {
  if (!in_) throw tools::ToolError(path_ + ": cannot read");
}

void SummaryPartReader::damaged(const std::string& why) const {
  throw tools::ToolError(path_ + ":" + std::to_string(line_) + ": " + why);
}

std::optional<Record> SummaryPartReader::next() {
  if (closed_) return std::nullopt;
  std::string text;
  if (!std::getline(in_, text)) {
    ++line_;
    damaged("the file ends before its closing line");
  }
  ++line_;
  Json line = Json::parse(text, nullptr, false);
  if (line.is_discarded() || !line.is_object()) damaged("not a JSON object");
  try {
    if (line.contains("plain")) {
      std::vector<std::size_t> plain = line.at("plain").get<std::vector<std::size_t>>();
      if (plain.size() != plain_.size()) damaged("counts for another number of rules");
      plain_ = std::move(plain);
      if (line.contains("days")) {
        first_day_ = line.at("days").at(0).get<std::string>();
        last_day_ = line.at("days").at(1).get<std::string>();
      }
      closed_ = true;
      return std::nullopt;
    }
    Record record = record_of(line);
    if (record.rule >= plain_.size()) damaged("a rule the policy does not have");
    return record;
  } catch (const nlohmann::json::exception&) {
    damaged("a record without its fields");
  } catch (const std::invalid_argument&) {
    damaged("a record with an unknown verdict");
  }
}

} // namespace hipaa::report

#include "worklist.hpp"

#include "common/csv_field.hpp"
#include "../hipaa-import/csv_reader.hpp"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace hipaa::report {

namespace {

// Reads `key` and `value` columns of a CSV file with a header, if the file
// exists.
void read_pairs(const std::string& path, const char* key, const char* value,
                std::unordered_map<std::string, std::string>& into) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return;
  import::CsvReader reader(path, path);
  std::vector<std::string> fields;
  if (!reader.next_record(fields)) return;
  auto column = [&](const char* name) {
    return static_cast<std::size_t>(std::find(fields.begin(), fields.end(), name) - fields.begin());
  };
  std::size_t k = column(key), v = column(value);
  std::size_t width = fields.size();
  if (k == width || v == width) return;
  while (reader.next_record(fields)) {
    if (k < fields.size() && v < fields.size() && !fields[v].empty()) into[fields[k]] = fields[v];
  }
}

} // namespace

Wording Wording::load(const std::string& templates_path, const std::string& catalogue_path) {
  Wording wording;
  read_pairs(templates_path, "predicate", "question", wording.questions_);
  read_pairs(catalogue_path, "clause", "title", wording.titles_);
  return wording;
}

std::string Wording::atom(const QuestionAtom& atom) const {
  auto found = questions_.find(atom.pred);
  if (found == questions_.end()) {
    std::string text = "(" + atom.pred;
    for (const std::string& arg : atom.args) text += ' ' + arg;
    return text + ")";
  }
  const std::string& pattern = found->second;
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    std::size_t close = pattern[i] == '{' ? pattern.find('}', i) : std::string::npos;
    if (close != std::string::npos && close > i + 1 && close - i <= 3 &&
        std::all_of(pattern.begin() + static_cast<long>(i) + 1,
                    pattern.begin() + static_cast<long>(close),
                    [](char c) { return c >= '0' && c <= '9'; })) {
      std::size_t n = std::stoul(pattern.substr(i + 1, close - i - 1));
      if (n >= 1 && n <= atom.args.size()) {
        text += atom.args[n - 1];
        i = close;
        continue;
      }
    }
    text += pattern[i];
  }
  return text;
}

std::string Wording::question(const Question& question) const {
  // The form's #k stand for the atoms; the rest of it is the structure.
  const std::string& form = question.form;
  std::string text;
  for (std::size_t i = 0; i < form.size(); ++i) {
    std::size_t end = i + 1;
    while (end < form.size() && form[end] >= '0' && form[end] <= '9') ++end;
    if (form[i] == '#' && end > i + 1) {
      std::size_t k = std::stoul(form.substr(i + 1, end - i - 1));
      if (k >= 1 && k <= question.parts.size()) {
        text += atom(question.parts[k - 1]);
        i = end - 1;
        continue;
      }
    }
    text += form[i];
  }
  return text.empty() ? question.atom : text;
}

std::string Wording::title(const std::string& clause) const {
  auto found = titles_.find(clause);
  return found == titles_.end() ? clause : found->second;
}

void Worklist::add(std::size_t position, const std::vector<Question>& questions) {
  for (const Question& question : questions) {
    auto [entry, added] = entries_.try_emplace(question.id);
    if (added) {
      Entry& fresh = entry->second;
      fresh.id = question.id;
      fresh.clause = question.clause;
      fresh.question = wording_.question(question);
      for (const std::string& arg : question.args) fresh.args += arg + '\n';
    }
    ++entry->second.waiting;
    if (question.settles) ++entry->second.settles;
    if (entry->second.positions.size() < kListed) entry->second.positions.push_back(position);
  }
}

void Worklist::merge(const Worklist& other) {
  for (const auto& [id, theirs] : other.entries_) {
    auto [entry, added] = entries_.try_emplace(id, theirs);
    if (added) continue;
    Entry& ours = entry->second;
    ours.waiting += theirs.waiting;
    ours.settles += theirs.settles;
    std::vector<std::size_t> positions;
    std::merge(ours.positions.begin(), ours.positions.end(), theirs.positions.begin(),
               theirs.positions.end(), std::back_inserter(positions));
    if (positions.size() > kListed) positions.resize(kListed);
    ours.positions = std::move(positions);
  }
}

std::vector<const Worklist::Entry*> Worklist::ranked() const {
  std::vector<const Entry*> ranked;
  ranked.reserve(entries_.size());
  for (const auto& [id, entry] : entries_) ranked.push_back(&entry);
  std::stable_sort(ranked.begin(), ranked.end(), [](const Entry* a, const Entry* b) {
    if (a->settles != b->settles) return a->settles > b->settles;
    return a->waiting > b->waiting;
  });
  return ranked;
}

void Worklist::write_csv(std::ostream& out) const {
  out << "id,clause,title,question,settles,waiting,instances,decision,reviewer,date,note\r\n";
  std::string line;
  for (const Entry* entry : ranked()) {
    std::string instances;
    for (std::size_t position : entry->positions) {
      if (!instances.empty()) instances += ' ';
      instances += std::to_string(position);
    }
    if (entry->waiting > entry->positions.size()) {
      instances += " and " + std::to_string(entry->waiting - entry->positions.size()) +
                   " more (verdicts.csv, column questions)";
    }
    line.clear();
    tools::append_csv_field(line, entry->id);
    line += ',';
    tools::append_csv_field(line, entry->clause);
    line += ',';
    tools::append_csv_field(line, wording_.title(entry->clause));
    line += ',';
    tools::append_csv_field(line, entry->question);
    line += ',' + std::to_string(entry->settles) + ',' + std::to_string(entry->waiting) + ',';
    tools::append_csv_field(line, instances);
    line += ",,,,\r\n";
    out << line;
  }
}

} // namespace hipaa::report

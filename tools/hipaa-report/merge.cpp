#include "merge.hpp"

#include "digest.hpp"
#include "html_page.hpp"
#include "inputs.hpp"
#include "manifest.hpp"
#include "report_folder.hpp"
#include "summary.hpp"
#include "shard_units.hpp"
#include "decisions.hpp"
#include "worklist.hpp"
#include "summary_part.hpp"

#include "../common/command_line.hpp"
#include "../common/count_noun.hpp"
#include "../common/tool_error.hpp"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace hipaa::report {

using tools::ToolError;

namespace {

constexpr int kNoViolation = 0;
constexpr int kViolations = 1;

const std::vector<tools::OptionRule> kMergeRules = {
    {"out", 'o', true, "DIR", "the merged report folder (required)", {"output"}},
    {"quiet", 'q', false, "", "print no summary"},
    {"violations-ok", '\0', false, "", "exit with 0, not 1, when violations are found"},
    {"help", 'h', false, "", "show this text and exit"},
};

struct Shard {
  std::string folder;
  ManifestJson manifest;
  std::string manifest_sha256;
  std::size_t index = 0;
  std::size_t count = 0;

  std::string file(const std::string& name) const { return folder + "/" + name; }
  std::string named() const { return std::to_string(index) + "/" + std::to_string(count); }
};

std::string without_slashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

Shard read_shard(const std::string& given) {
  Shard shard;
  shard.folder = without_slashes(given);
  std::string path = shard.file(kManifestFile);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError(shard.folder + ": no " + kManifestFile + ", not a report's folder");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  shard.manifest = ManifestJson::parse(text, nullptr, false);
  if (shard.manifest.is_discarded() || !shard.manifest.is_object()) {
    throw ToolError(path + ": not a manifest");
  }
  Sha256 sha;
  sha.add(text);
  shard.manifest_sha256 = sha.hex();
  try {
    int version = shard.manifest.at("manifest_version").get<int>();
    if (version != kManifestVersion) {
      throw ToolError(path + ": manifest version " + std::to_string(version) +
                      ", this program reads version " + std::to_string(kManifestVersion));
    }
    std::string made_by = shard.manifest.at("program").at("version").get<std::string>();
    if (made_by != program_version()) {
      throw ToolError(shard.folder + ": made by hipaa-report " + made_by + ", this is " +
                      program_version());
    }
    const ManifestJson& of = shard.manifest.at("shard");
    if (of.is_null()) throw ToolError(shard.folder + ": the report of a whole run, not a shard");
    shard.index = of.at("index").get<std::size_t>();
    shard.count = of.at("count").get<std::size_t>();
    if (of.value("split", "") != "driving") throw ToolError(path + ": not a manifest");
    if (shard.count < 2 || shard.index >= shard.count) throw ToolError(path + ": not a manifest");
    // The fields the merge reads, present with their types.
    (void)shard.manifest.at("counts").at("instances").get<std::size_t>();
    if (!shard.manifest.at("counts").at("rules").is_object() ||
        !shard.manifest.at("files").is_object() || !shard.manifest.at("inputs").is_object() ||
        !shard.manifest.at("options").is_object()) {
      throw ToolError(path + ": not a manifest");
    }
    (void)shard.manifest.at("options").at("format").get<std::vector<std::string>>();
  } catch (const nlohmann::json::exception&) {
    throw ToolError(path + ": not a manifest");
  }
  return shard;
}

// Every shard of one run, each once, in shard order.
std::vector<Shard> complete_set(std::vector<Shard> shards) {
  std::size_t count = shards.front().count;
  const std::string first = shards.front().folder + " is shard " + shards.front().named();
  std::vector<std::optional<Shard>> slots(count);
  for (Shard& shard : shards) {
    if (shard.count != count) {
      throw ToolError(shard.folder + ": shard " + shard.named() + ", but " + first);
    }
    std::optional<Shard>& slot = slots[shard.index];
    if (slot) {
      throw ToolError(slot->folder + " and " + shard.folder + " are both shard " + shard.named());
    }
    slot = std::move(shard);
  }
  std::string missing;
  std::size_t absent = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (slots[i]) continue;
    missing += (missing.empty() ? "" : ", ") + std::to_string(i) + "/" + std::to_string(count);
    ++absent;
  }
  if (absent > 0) {
    throw ToolError(
        (absent == 1 ? "shard " + missing + " is missing" : "shards " + missing + " are missing"));
  }
  std::vector<Shard> ordered;
  for (std::optional<Shard>& slot : slots) ordered.push_back(std::move(*slot));
  return ordered;
}

// The shards answer one question: the same program, inputs, state of the
// log and options that change the files.
void check_one_run(const std::vector<Shard>& shards) {
  const Shard& first = shards.front();
  for (const Shard& shard : shards) {
    const ManifestJson& inputs = shard.manifest.at("inputs");
    const ManifestJson& first_inputs = first.manifest.at("inputs");
    for (const auto& [role, file] : first_inputs.items()) {
      if (!inputs.contains(role) ||
          inputs.at(role).value("sha256", "") != file.value("sha256", "")) {
        throw ToolError(shard.folder + ": another " + role + " than " + first.folder + "'s");
      }
    }
    for (const auto& [role, file] : inputs.items()) {
      if (!first_inputs.contains(role)) {
        throw ToolError(shard.folder + ": another " + role + " than " + first.folder + "'s");
      }
    }
    if (shard.manifest.value("log_state", "") != first.manifest.value("log_state", "")) {
      throw ToolError(shard.folder + ": read another state of the log than " + first.folder);
    }
    for (const char* option : {"as_of", "format"}) {
      if (shard.manifest.at("options").value(option, ManifestJson()) !=
          first.manifest.at("options").value(option, ManifestJson())) {
        throw ToolError(shard.folder + ": made with another " + std::string(option) + " than " +
                        first.folder);
      }
    }
    if (shard.manifest.at("counts").at("rules").size() !=
        first.manifest.at("counts").at("rules").size()) {
      throw ToolError(shard.folder + ": another policy than " + first.folder + "'s");
    }
  }
}

constexpr const char* kStaleFile = "stale-decisions.csv";

// For every position of the whole run, the shard whose row it is; each
// shard's rows keep their order.
using Placement = std::vector<std::uint32_t>;

// Where every row comes from, found from the shards' units: the driving
// rows (or solutions) of each rule in turn, each with the instances its
// shard found.
Placement place_rows(const std::vector<Shard>& shards, std::size_t rules) {
  std::vector<std::vector<RuleUnits>> units;
  for (const Shard& shard : shards) {
    const ManifestJson& files = shard.manifest.at("files");
    if (!files.contains(kUnitsFile)) throw ToolError(shard.folder + ": has no " + kUnitsFile);
    if (digest_file(shard.file(kUnitsFile)).sha256 != files.at(kUnitsFile).value("sha256", "")) {
      throw ToolError(shard.file(kUnitsFile) +
                      ": differs from what its manifest records (changed since the run)");
    }
    units.push_back(read_units(shard.file(kUnitsFile), rules));
  }
  std::size_t count = shards.size();
  Placement placement;
  std::vector<std::size_t> rows(count, 0);
  for (std::size_t rule = 0; rule < rules; ++rule) {
    std::size_t driving = units[0][rule].driving;
    for (std::size_t k = 0; k < count; ++k) {
      if (units[k][rule].driving != driving) {
        throw ToolError(shards[k].file(kUnitsFile) + ": rule " + std::to_string(rule + 1) +
                        " has " + std::to_string(units[k][rule].driving) +
                        " driving rows to deal among the shards, in " + shards[0].folder +
                        " " + std::to_string(driving));
      }
      std::size_t taken = 0;
      for (std::size_t d = 0; d < driving; ++d) taken += takes(d, k, count) ? 1 : 0;
      if (units[k][rule].instances.size() != taken) {
        throw ToolError(shards[k].file(kUnitsFile) + ": rule " + std::to_string(rule + 1) +
                        " lists " + std::to_string(units[k][rule].instances.size()) +
                        " driving rows where shard " + shards[k].named() + " takes " +
                        std::to_string(taken));
      }
    }
    std::vector<std::size_t> next(count, 0);
    for (std::size_t d = 0; d < driving; ++d) {
      std::size_t k = 0;
      while (!takes(d, k, count)) ++k;
      std::uint32_t instances = units[k][rule].instances[next[k]++];
      placement.insert(placement.end(), instances, static_cast<std::uint32_t>(k));
      rows[k] += instances;
    }
  }
  for (std::size_t k = 0; k < count; ++k) {
    std::size_t counted = shards[k].manifest.at("counts").at("instances").get<std::size_t>();
    if (rows[k] != counted) {
      throw ToolError(shards[k].file(kUnitsFile) + ": " +
                      tools::count_noun(rows[k], "instance", "instances") +
                      " where its manifest counts " + std::to_string(counted));
    }
  }
  return placement;
}

// A shard's file read in order, its digest taken meanwhile and compared
// with its manifest's at the end.
class ShardFile {
public:
  ShardFile(const Shard& shard, const std::string& name)
      : path_(shard.file(name)), in_(path_, std::ios::binary) {
    const ManifestJson& files = shard.manifest.at("files");
    if (!files.contains(name)) throw ToolError(shard.folder + ": has no " + name);
    expected_ = files.at(name).value("sha256", "");
    if (!in_) throw ToolError(path_ + ": cannot read");
  }

  const std::string& path() const { return path_; }

  // The next line with its '\n'; false at the end of the file.
  bool line(std::string& text) {
    text.clear();
    for (;;) {
      if (next_ == buffer_.size() && !fill()) return !text.empty();
      std::size_t end = buffer_.find('\n', next_);
      std::size_t stop = end == std::string::npos ? buffer_.size() : end + 1;
      text.append(buffer_, next_, stop - next_);
      next_ = stop;
      if (end != std::string::npos) return true;
    }
  }

  // The next RFC 4180 record with its CR LF, which may span lines.
  bool record(std::string& text) {
    if (!line(text)) return false;
    std::string more;
    while (std::count(text.begin(), text.end(), '"') % 2 != 0) {
      if (!line(more)) throw ToolError(path_ + ": ends inside a quoted field");
      text += more;
    }
    return true;
  }

  // At the end of the file: the bytes read are those the manifest names.
  void check_end() {
    std::string rest;
    if (line(rest)) throw ToolError(path_ + ": text after its end");
    if (sha_.hex() != expected_) {
      throw ToolError(path_ + ": differs from what its manifest records (changed since the run)");
    }
  }

private:
  bool fill() {
    buffer_.resize(1 << 20);
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.resize(static_cast<std::size_t>(in_.gcount()));
    next_ = 0;
    if (in_.bad()) throw ToolError(path_ + ": cannot read");
    sha_.add(buffer_);
    return !buffer_.empty();
  }

  std::string path_;
  std::ifstream in_;
  std::string expected_;
  Sha256 sha_;
  std::string buffer_;
  std::size_t next_ = 0;
};

std::optional<std::size_t> leading_number(std::string_view text) {
  std::size_t digits = 0;
  while (digits < text.size() && digits < 19 && text[digits] >= '0' && text[digits] <= '9')
    ++digits;
  if (digits == 0) return std::nullopt;
  std::size_t value = 0;
  for (std::size_t i = 0; i < digits; ++i)
    value = value * 10 + static_cast<std::size_t>(text[i] - '0');
  return value;
}

// verdicts.csv: the header, then one record per row.  Each shard's file
// has a reader of its own; one more writes the merged file.
class CsvRows {
public:
  // Reads the opening of a shard's file: what every shard must share.
  std::string opening(ShardFile& file) {
    std::string header;
    if (!file.record(header)) throw ToolError(file.path() + ": empty");
    return header;
  }
  // The next row; false after the last.
  bool row(ShardFile& file, std::string& text) { return file.record(text); }
  static std::optional<std::size_t> position(const std::string& row) {
    std::size_t comma = row.find(',');
    if (comma == std::string::npos || row.find_first_not_of("0123456789") != comma) {
      return std::nullopt;
    }
    return leading_number(row);
  }
  // The row with position `position` in place of the shard's own.
  static std::string renumbered(const std::string& row, std::size_t position) {
    return std::to_string(position) + row.substr(row.find(','));
  }
  void write(std::ostream& out, const std::string& opening, const std::string& row) {
    if (first_) out << opening;
    first_ = false;
    out << row;
  }
  void close(std::ostream& out, const std::string& opening) {
    if (first_) out << opening;
  }

private:
  bool first_ = true;
};

// verdicts.json: "[", one object per line, the lines separated by commas,
// "]".
class JsonRows {
public:
  std::string opening(ShardFile& file) {
    std::string line;
    if (!file.line(line) || (line != "[\n" && line != "[]\n")) {
      throw ToolError(file.path() + ": not a report's JSON array");
    }
    ended_ = line == "[]\n";
    return "[";
  }
  bool row(ShardFile& file, std::string& text) {
    if (ended_) return false;
    if (!file.line(text) || text.size() < 2 || text.back() != '\n') {
      throw ToolError(file.path() + ": ends inside its array");
    }
    if (text == "]\n") {
      ended_ = true;
      return false;
    }
    text.pop_back();
    if (text.back() == ',') text.pop_back();
    return true;
  }
  static constexpr std::string_view kKey = "{\"position\":";
  static std::optional<std::size_t> position(const std::string& row) {
    if (row.compare(0, kKey.size(), kKey) != 0) return std::nullopt;
    return leading_number(std::string_view(row).substr(kKey.size()));
  }
  static std::string renumbered(const std::string& row, std::size_t position) {
    std::size_t digits = row.find_first_not_of("0123456789", kKey.size());
    return std::string(kKey) + std::to_string(position) + row.substr(digits);
  }
  void write(std::ostream& out, const std::string&, const std::string& row) {
    out << (first_ ? "[\n" : ",\n") << row;
    first_ = false;
  }
  void close(std::ostream& out, const std::string&) { out << (first_ ? "[]\n" : "\n]\n"); }

private:
  bool first_ = true;
  bool ended_ = false;
};

// Merges the rows of file `name` of every shard in the order of the whole
// run: the row at position p is the next row of the shard placed there,
// which must say its place in the shard, and is given p instead.
template <class Rows>
void merge_rows(const std::vector<Shard>& shards, const std::string& name,
                const Placement& placement, ReportFolder& folder) {
  std::vector<std::unique_ptr<ShardFile>> files;
  std::vector<Rows> readers(shards.size());
  Rows writer;
  std::string opening;
  for (std::size_t i = 0; i < shards.size(); ++i) {
    files.push_back(std::make_unique<ShardFile>(shards[i], name));
    std::string own = readers[i].opening(*files[i]);
    if (i == 0) opening = own;
    if (own != opening) {
      throw ToolError(files[i]->path() + ": another header than " + files[0]->path() + "'s");
    }
  }
  std::ofstream out = folder.create(name);
  std::string row;
  std::vector<std::size_t> local(shards.size(), 0);
  for (std::size_t position = 0; position < placement.size(); ++position) {
    std::size_t from = placement[position];
    std::size_t expected = local[from]++;
    if (!readers[from].row(*files[from], row)) {
      throw ToolError(files[from]->path() + ": ends before the row at position " +
                      std::to_string(expected));
    }
    std::optional<std::size_t> said = Rows::position(row);
    if (!said) throw ToolError(files[from]->path() + ": a row without a position");
    if (*said != expected) {
      throw ToolError(files[from]->path() + ": the row at position " + std::to_string(*said) +
                      " stands where position " + std::to_string(expected) + " belongs");
    }
    writer.write(out, opening, Rows::renumbered(row, position));
  }
  writer.close(out, opening);
  for (std::size_t i = 0; i < shards.size(); ++i) {
    if (readers[i].row(*files[i], row)) {
      throw ToolError(files[i]->path() + ": a row beyond the " +
                      tools::count_noun(local[i], "instance", "instances") + " of the shard");
    }
    files[i]->check_end();
  }
  folder.close(out, name);
}

// The per-shard files that are merged, and the format that writes each.
// A further file is one more entry: merge_rows for rows in position order,
// or a merge of its own (a list of questions grouped across instances,
// say, whose entries add up across shards).
struct MergedFile {
  const char* name;
  const char* format;
  void (*merge)(const std::vector<Shard>&, const std::string&, const Placement&,
                ReportFolder&);
};

const MergedFile kMergedFiles[] = {
    {"verdicts.csv", "csv", merge_rows<CsvRows>},
    {"verdicts.json", "json", merge_rows<JsonRows>},
};

bool has_format(const Shard& shard, const std::string& format) {
  std::vector<std::string> formats =
      shard.manifest.at("options").at("format").get<std::vector<std::string>>();
  return std::find(formats.begin(), formats.end(), format) != formats.end();
}

// The rules of the run, by name, in policy order.
std::vector<Rule> rules_of(const Shard& shard) {
  std::vector<Rule> rules;
  for (const auto& [name, count] : shard.manifest.at("counts").at("rules").items()) {
    rules.push_back(Rule{name, nullptr, nullptr});
  }
  return rules;
}

// The summary of the whole run from the shards' parts, their records in
// the order of the whole run and with its positions.
void add_parts(const std::vector<Shard>& shards, const Placement& placement, Summary& summary,
               Worklist& worklist, std::size_t rules) {
  struct Head {
    std::unique_ptr<SummaryPartReader> reader;
    std::optional<Record> record;
  };
  std::vector<Head> heads;
  for (const Shard& shard : shards) {
    const ManifestJson& files = shard.manifest.at("files");
    if (!files.contains(kSummaryPartFile))
      throw ToolError(shard.folder + ": has no " + kSummaryPartFile);
    if (digest_file(shard.file(kSummaryPartFile)).sha256 !=
        files.at(kSummaryPartFile).value("sha256", "")) {
      throw ToolError(shard.file(kSummaryPartFile) +
                      ": differs from what its manifest records (changed since the run)");
    }
    Head head{std::make_unique<SummaryPartReader>(shard.file(kSummaryPartFile), rules), {}};
    head.record = head.reader->next();
    heads.push_back(std::move(head));
  }
  std::vector<std::size_t> local(shards.size(), 0);
  for (std::size_t position = 0; position < placement.size(); ++position) {
    Head& head = heads[placement[position]];
    std::size_t own = local[placement[position]]++;
    if (!head.record || head.record->position != own) continue;
    Record record = std::move(*head.record);
    record.position = position;
    summary.add(record);
    if (record.verdict == Verdict::Open) worklist.add(record.position, record.questions);
    head.record = head.reader->next();
  }
  for (std::size_t k = 0; k < heads.size(); ++k) {
    if (heads[k].record) {
      throw ToolError(shards[k].file(kSummaryPartFile) + ": position " +
                      std::to_string(heads[k].record->position) + " out of place");
    }
  }
  for (const Head& head : heads) {
    // The first two plain instances carry the shard's first and last day of
    // them, which is all the summary keeps of their days.
    std::size_t given = 0;
    for (std::size_t rule = 0; rule < rules; ++rule) {
      Record plain;
      plain.rule = rule;
      plain.verdict = Verdict::Compliant;
      for (std::size_t i = 0; i < head.reader->plain()[rule]; ++i, ++given) {
        plain.day = given == 0 ? head.reader->first_day()
                    : given == 1 ? head.reader->last_day()
                                 : std::string();
        summary.add(plain);
      }
    }
  }
}

// "2010-01-04T12:00:10" in local time for "2010-01-04T11:00:10Z".
std::string local_time_of(const std::string& utc) {
  std::tm broken{};
  if (!strptime(utc.c_str(), "%Y-%m-%dT%H:%M:%SZ", &broken)) return utc;
  std::time_t when = timegm(&broken);
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

} // namespace

std::string merge_usage_text() {
  return tools::usage_text(
      "Usage: hipaa-report merge --out DIR SHARD_DIR...\n"
      "Make the report of a whole run from the report folders of its shards\n"
      "(hipaa-report --shard K/N): the same verdicts.csv, verdicts.json,\n"
      "worklist.csv, stale-decisions.csv and summary.html as one run without\n"
      "--shard.  Refuses a missing or repeated\n"
      "shard, shards of other inputs, another state of the log or other options,\n"
      "and a row that is not where its position says.\n",
      kMergeRules,
      "Exit status: 0 when no instance is a violation, 1 when at least one is, 2\n"
      "when the shards could not be merged.\n");
}

int run_merge(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kMergeRules);
  if (line.has("help")) {
    std::cout << merge_usage_text();
    return kNoViolation;
  }
  std::optional<std::string> out = line.get("out");
  if (!out || out->empty()) throw ToolError("merge needs --out DIR (try merge --help)");
  if (line.positional.empty()) throw ToolError("merge needs the folders of the shards");
  bool quiet = line.has("quiet");

  std::vector<Shard> given;
  for (const std::string& folder : line.positional) given.push_back(read_shard(folder));
  std::vector<Shard> shards = complete_set(std::move(given));
  check_one_run(shards);

  const Shard& first = shards.front();
  const ManifestJson& options = first.manifest.at("options");
  // The page names each rule's variables and the parties of its rows as
  // the run's policy has them.
  CheckedPolicy policy =
      load_policy(options.value("decls", ""), options.value("policy", ""), false, std::cerr);
  Layout layout(top_level_rules(policy.formula), policy.signature);
  std::vector<Rule> named = rules_of(first);
  bool same = named.size() == layout.rules().size();
  for (std::size_t i = 0; same && i < named.size(); ++i) {
    same = named[i].name == layout.rules()[i].name;
  }
  if (!same) {
    throw ToolError(options.value("policy", "") + ": has other rules than the shards' run");
  }
  // The catalogue beside the policy gives the titles a single run shows.
  const std::string catalogue_file =
      (std::filesystem::path(options.value("policy", "")).parent_path() / "catalogue.csv").string();
  const Catalogue catalogue = Catalogue::load(catalogue_file, false);
  Placement placement = place_rows(shards, layout.rules().size());
  std::size_t total = placement.size();

  ReportFolder folder(*out);
  std::vector<std::string> written;
  for (const MergedFile& file : kMergedFiles) {
    if (!has_format(first, file.format)) continue;
    file.merge(shards, file.name, placement, folder);
    written.push_back(file.name);
  }

  // The worklist in the run's words, its instances placed in the whole run
  // as the summary's are.
  const Wording wording =
      Wording::load((std::filesystem::path(catalogue_file).parent_path() / "templates.csv").string(),
                    catalogue_file);
  Worklist worklist(wording);
  Summary summary(layout, page_roles(layout, policy.signature), has_format(first, "html"));
  add_parts(shards, placement, summary, worklist, layout.rules().size());
  if (has_format(first, "csv")) {
    std::ofstream file = folder.create("worklist.csv");
    worklist.write_csv(file);
    folder.close(file, "worklist.csv");
    written.push_back("worklist.csv");
  }
  std::size_t violations = 0;
  for (const Shard& shard : shards) {
    violations += shard.manifest.at("counts").value("violation", std::size_t{0});
  }
  if (summary.instances() != total || summary.count(Verdict::Violation) != violations) {
    throw ToolError("the shards' summary parts do not add up to their manifests' counts");
  }

  // The shards read one file of decisions, as their inputs agree; a
  // decision is stale only where no shard met its question.
  const bool deciding = options.contains("decisions") && options.at("decisions").is_string();
  const std::string decisions_path = deciding ? options.at("decisions").get<std::string>() : "";
  const Decisions decisions = deciding ? Decisions::read(decisions_path) : Decisions{};
  std::vector<const Decision*> stale;
  std::vector<std::string> stale_ids;
  if (deciding) {
    const ManifestJson& inputs = first.manifest.at("inputs");
    if (!inputs.contains("decisions") ||
        digest_file(decisions_path).sha256 != inputs.at("decisions").value("sha256", "")) {
      throw ToolError(decisions_path + ": differs from the decisions the shards read");
    }
    std::map<std::string, std::size_t> stale_in; // id -> shards that did not meet it
    for (const Shard& shard : shards) {
      const ManifestJson& files = shard.manifest.at("files");
      if (!files.contains(kStaleFile)) throw ToolError(shard.folder + ": has no " + kStaleFile);
      if (digest_file(shard.file(kStaleFile)).sha256 !=
          files.at(kStaleFile).value("sha256", "")) {
        throw ToolError(shard.file(kStaleFile) +
                        ": differs from what its manifest records (changed since the run)");
      }
      std::ifstream in(shard.file(kStaleFile), std::ios::binary);
      std::string line;
      std::getline(in, line); // the header
      while (std::getline(in, line)) ++stale_in[line.substr(0, line.find(','))];
    }
    for (const Decision& decision : decisions.all()) {
      auto found = stale_in.find(decision.id);
      if (found == stale_in.end() || found->second != shards.size()) continue;
      stale.push_back(&decision);
      stale_ids.push_back(decision.id);
    }
    std::ofstream file = folder.create(kStaleFile);
    write_stale(file, stale);
    folder.close(file, kStaleFile);
    written.push_back(kStaleFile);
  }

  std::string started = first.manifest.value("started", "");
  for (const Shard& shard : shards)
    started = std::min(started, shard.manifest.value("started", ""));
  if (has_format(first, "html")) {
    RunInfo info{options.value("db", ""),
                 options.value("decls", ""),
                 options.value("policy", ""),
                 local_time_of(started),
                 options.at("as_of").is_string() ? options.at("as_of").get<std::string>() : "",
                 "", &catalogue};
    std::ofstream html = folder.create("summary.html");
    write_html_page(html, PageInput{summary, worklist, decisions, stale_ids}, info);
    folder.close(html, "summary.html");
    written.insert(written.begin(), "summary.html");
  }

  ManifestJson manifest;
  manifest["manifest_version"] = kManifestVersion;
  manifest["program"] = ManifestJson{{"name", "hipaa-report"}, {"version", program_version()}};
  manifest["started"] = started;
  manifest["finished"] = utc_now();
  ManifestJson merged_options = options;
  merged_options["shard"] = nullptr;
  merged_options["out"] = *out;
  manifest["options"] = merged_options;
  manifest["shard"] = nullptr;
  ManifestJson sources = ManifestJson::array();
  for (const Shard& shard : shards) {
    sources.push_back(ManifestJson{{"folder", shard.folder},
                                   {"shard", shard.named()},
                                   {"manifest_sha256", shard.manifest_sha256}});
  }
  manifest["merged_from"] = sources;
  manifest["inputs"] = first.manifest.at("inputs");
  manifest["log_state"] = first.manifest.at("log_state");
  manifest["counts"] = counts_json(summary);
  manifest["files"] = files_json(folder, written);
  write_manifest(folder, manifest);
  folder.commit();

  if (!quiet) {
    print_summary(std::cout, summary, catalogue, folder.path(), written, worklist.size(),
                  stale_ids);
    std::cout.flush();
    if (!std::cout) throw ToolError("cannot write the summary to standard output");
  }
  return violations > 0 && !line.has("violations-ok") ? kViolations : kNoViolation;
}

} // namespace hipaa::report

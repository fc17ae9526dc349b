// hipaa-report: every instance of every rule of the policy with its own
// verdict and the clause at stake, in a report folder, with a summary on
// standard output.
#include "decisions.hpp"
#include "html_page.hpp"
#include "inputs.hpp"
#include "log_state.hpp"
#include "manifest.hpp"
#include "merge.hpp"
#include "options.hpp"
#include "pipeline.hpp"
#include "progress.hpp"
#include "report_folder.hpp"
#include "summary.hpp"
#include "value_place.hpp"
#include "worklist.hpp"
#include "summary_part.hpp"

#include "../common/csv_field.hpp"
#include "../common/large_stack.hpp"
#include "../common/log_lint.hpp"
#include "../common/tool_error.hpp"

#include "base/failure.hpp"
#include "base/out_of_memory.hpp"
#include "dates/date.hpp"
#include "db/sqlite.hpp"

#include <unistd.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <unordered_set>
#include <iostream>
#include <optional>
#include <string_view>

namespace {

using namespace hipaa;
using namespace hipaa::report;

constexpr int kNoViolation = 0;
constexpr int kViolations = 1;
constexpr int kFailure = 2;
constexpr std::size_t kWorkerStackBytes = std::size_t{1} << 30;

// Streams the records to the files of the report folder.
class ReportFiles {
public:
  ReportFiles(ReportFolder& folder, const Formats& formats, const Layout& layout)
      : folder_(folder), formats_(formats) {
    if (formats_.csv) {
      csv_ = folder_.create("verdicts.csv");
      csv_ << layout.csv_header();
    }
    if (formats_.json) {
      json_ = folder_.create("verdicts.json");
      json_ << "[";
    }
  }

  void write(const Record& record) {
    if (formats_.csv) csv_ << record.csv;
    if (formats_.json) {
      json_ << (first_ ? "\n" : ",\n") << record.json;
      first_ = false;
    }
  }

  void close() {
    if (formats_.csv) folder_.close(csv_, "verdicts.csv");
    if (formats_.json) {
      json_ << (first_ ? "]\n" : "\n]\n");
      folder_.close(json_, "verdicts.json");
    }
  }

private:
  ReportFolder& folder_;
  Formats formats_;
  std::ofstream csv_;
  std::ofstream json_;
  bool first_ = true;
};

// The catalogue named on the command line, else catalogue.csv beside the
// policy.
std::string catalogue_path(const Options& options) {
  if (!options.catalogue.empty()) return options.catalogue;
  return (std::filesystem::path(options.policy).parent_path() / "catalogue.csv").string();
}

std::vector<std::string> written_files(const Formats& formats, bool decisions) {
  std::vector<std::string> files;
  if (formats.html) files.push_back("summary.html");
  if (formats.csv) files.push_back("verdicts.csv");
  if (formats.json) files.push_back("verdicts.json");
  if (formats.csv) files.push_back("worklist.csv");
  if (decisions) files.push_back("stale-decisions.csv");
  return files;
}

// A file beside `path` (the case study's folder for the default inputs).
std::string beside(const std::string& path, const std::string& name) {
  return (std::filesystem::path(path).parent_path() / name).string();
}

int run(int argc, char** argv) {
  Options options = parse_options(argc, argv);
  if (options.help || options.version) {
    std::cout << (options.help ? usage_text() : version_text());
    std::cout.flush();
    if (!std::cout) throw tools::ToolError("cannot write standard output");
    return kNoViolation;
  }
  std::string started = utc_now();
  db::Connection::allow_threads();
  // The first date conversion fixes the local zone for the process, which
  // changes the environment: let it happen before any thread starts.
  (void)date_from_literal("1970:01:02");
  RunInfo info{options.db,
               options.decls,
               options.policy,
               local_time_now(),
               options.as_of_text,
               options.shards > 1
                   ? std::to_string(options.shard) + "/" + std::to_string(options.shards)
                   : ""};
  // The evidence and the policy are checked before anything is written.
  open_audit_database(options.db);
  CheckedPolicy policy =
      load_policy(options.decls, options.policy, options.accept_repairs, std::cerr);
  // Decisions that cannot be used stop the run before anything is written.
  const bool deciding = !options.decisions.empty();
  const Decisions decisions = deciding ? Decisions::read(options.decisions) : Decisions{};
  const std::string catalogue_file = catalogue_path(options);
  const Catalogue catalogue = Catalogue::load(catalogue_file, !options.catalogue.empty());
  const Wording wording =
      Wording::load(beside(catalogue_file, "templates.csv"), catalogue_file);
  info.catalogue = &catalogue;
  Evidence evidence = gather_evidence(options);
  Layout layout(top_level_rules(policy.formula), policy.signature);
  ReportFolder folder(options.out);
  ReportFiles files(folder, options.formats, layout);
  Summary summary(layout, page_roles(layout, policy.signature), options.formats.html);
  Worklist worklist(wording);
  std::unordered_set<std::string> arisen; // answered questions met in some residual
  // A shard keeps what the whole run's summary needs of its instances.
  std::vector<std::string> written = written_files(options.formats, deciding);
  std::ofstream part_file;
  std::optional<SummaryPartWriter> part;
  std::optional<ShardEnumeration> shard;
  if (options.shards > 1) {
    part_file = folder.create(kSummaryPartFile);
    part.emplace(part_file, layout.rules().size());
    shard.emplace(options, layout);
    written.push_back(kSummaryPartFile);
    written.push_back(kUnitsFile);
  }
  // Once the inputs and the folder are known good: the gaps an audit passes
  // over in silence, summarised before the verdicts.
  if (options.lint && !options.quiet) {
    tools::LogReader log(options.db);
    tools::print_lint_summary(tools::lint_log(log, policy.signature, policy.formula), std::cout);
  }
  // Every connection of the run from here on reads one state of the log.
  LogState log_state(options.db, options.jobs > 1);
  ProgressLine progress(!options.quiet && ::isatty(STDERR_FILENO), options, policy);

  std::string diagnostics;
  try {
    audit_instances(
        options, policy, layout, catalogue, decisions,
        [&](Record&& record) {
          files.write(record);
          summary.add(record);
          if (record.verdict == Verdict::Open) worklist.add(record.position, record.questions);
          for (std::string& id : record.answered) arisen.insert(std::move(id));
          if (part) part->add(record);
          progress.count(summary.instances());
        },
        diagnostics, shard ? &*shard : nullptr);
  } catch (const Failure& failure) {
    progress.end();
    std::cerr << diagnostics;
    // A stored value that is not UTF-8 stops the audit without a place:
    // the log's first such value is looked for.
    std::string place;
    if (failure.name() == "Incomplete") place = first_value_not_utf8(options.db, policy.signature);
    throw tools::ToolError(options.db + ": the audit stopped (" + failure.message() + ")" +
                           (place.empty() ? "" : "; the first value that is not UTF-8: " + place));
  }
  progress.end();
  files.close();
  std::vector<const Decision*> stale;
  std::vector<std::string> stale_ids;
  for (const Decision& decision : decisions.all()) {
    if (arisen.count(decision.id) == 0) {
      stale.push_back(&decision);
      stale_ids.push_back(decision.id);
    }
  }
  if (options.formats.csv) {
    std::ofstream file = folder.create("worklist.csv");
    worklist.write_csv(file);
    folder.close(file, "worklist.csv");
  }
  if (deciding) {
    std::ofstream file = folder.create("stale-decisions.csv");
    write_stale(file, stale);
    folder.close(file, "stale-decisions.csv");
  }
  if (part) {
    part->finish();
    folder.close(part_file, kSummaryPartFile);
    std::ofstream units = folder.create(kUnitsFile);
    shard->write(units);
    folder.close(units, kUnitsFile);
  }
  if (options.formats.html) {
    std::ofstream page = folder.create("summary.html");
    write_html_page(page, PageInput{summary, worklist, decisions, stale_ids}, info);
    folder.close(page, "summary.html");
  }
  write_manifest(folder, run_manifest(options, evidence, started, summary, folder, written));
  // The summary comes before the commit: a summary that cannot be written
  // leaves no report, as the exit status then says.
  if (!options.quiet) {
    print_summary(std::cout, summary, catalogue, folder.path(),
                  written_files(options.formats, deciding), worklist.size(), stale_ids);
    std::cout.flush();
    if (!std::cout) throw tools::ToolError("cannot write the summary to standard output");
  }
  folder.commit();
  return summary.count(Verdict::Violation) > 0 && !options.violations_ok ? kViolations
                                                                         : kNoViolation;
}

} // namespace

int main(int argc, char** argv) {
  // A closed pipe on standard output is a write error like any other, not
  // a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  exit_when_memory_runs_out("hipaa-report: out of memory\n", kFailure);
  try {
    if (argc > 1 && std::string_view(argv[1]) == "merge") return run_merge(argc - 1, argv + 1);
    // Stored values and policies nest as deep as the audit reads them: the
    // run and the workers it starts get large stacks.
    return tools::run_on_large_stack([&] { return run(argc, argv); }, kWorkerStackBytes);
  } catch (const tools::SourceError& error) {
    std::cerr << error.diagnostics() << "hipaa-report: " << error.what() << "\n";
  } catch (const tools::ToolError& error) {
    std::cerr << "hipaa-report: " << error.what() << "\n";
  } catch (const Failure& failure) {
    std::cerr << "hipaa-report: " << failure.message() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "hipaa-report: " << error.what() << "\n";
  }
  return kFailure;
}

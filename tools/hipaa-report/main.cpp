// hipaa-report: every instance of every rule of the policy with its own
// verdict and the clause at stake, in a report folder, with a summary on
// standard output.
#include "html_page.hpp"
#include "inputs.hpp"
#include "options.hpp"
#include "pipeline.hpp"
#include "progress.hpp"
#include "report_folder.hpp"
#include "summary.hpp"

#include "../common/log_lint.hpp"
#include "../common/tool_error.hpp"

#include "base/failure.hpp"
#include "dates/date.hpp"
#include "db/sqlite.hpp"

#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>

namespace {

using namespace hipaa;
using namespace hipaa::report;

constexpr int kNoViolation = 0;
constexpr int kViolations = 1;
constexpr int kFailure = 2;

std::string local_time_now() {
  std::time_t now = std::time(nullptr);
  std::tm broken{};
  localtime_r(&now, &broken);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &broken);
  return text;
}

// Streams the records to the files of the report folder.
class ReportFiles {
public:
  ReportFiles(const ReportFolder& folder, const Formats& formats, const Layout& layout)
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
  const ReportFolder& folder_;
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

std::vector<std::string> written_files(const Formats& formats) {
  std::vector<std::string> files;
  if (formats.html) files.push_back("summary.html");
  if (formats.csv) files.push_back("verdicts.csv");
  if (formats.json) files.push_back("verdicts.json");
  return files;
}

int run(int argc, char** argv) {
  Options options = parse_options(argc, argv);
  if (options.help) {
    std::cout << usage_text();
    return kNoViolation;
  }
  if (options.version) {
    std::cout << version_text();
    return kNoViolation;
  }
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
  Layout layout(top_level_rules(policy.formula), policy.signature);
  const Catalogue catalogue = Catalogue::load(catalogue_path(options), !options.catalogue.empty());
  ReportFolder folder(options.out);
  ReportFiles files(folder, options.formats, layout);
  info.catalogue = &catalogue;
  Summary summary(layout);
  // Once the inputs and the folder are known good: the gaps an audit passes
  // over in silence, summarised before the verdicts.
  if (options.lint && !options.quiet) {
    tools::LogReader log(options.db);
    tools::print_lint_summary(tools::lint_log(log, policy.signature), std::cout);
  }
  ProgressLine progress(!options.quiet && ::isatty(STDERR_FILENO), options, policy);

  std::string diagnostics;
  try {
    audit_instances(
        options, policy, layout, catalogue,
        [&](Record&& record) {
          files.write(record);
          summary.add(record);
          progress.count(summary.instances());
        },
        diagnostics);
  } catch (const Failure& failure) {
    progress.end();
    std::cerr << diagnostics;
    throw tools::ToolError(options.db + ": the audit stopped (" + failure.message() + ")");
  }
  progress.end();
  files.close();
  if (options.formats.html) {
    std::ofstream page = folder.create("summary.html");
    write_html_page(page, summary, info);
    folder.close(page, "summary.html");
  }
  folder.commit();
  if (!options.quiet) {
    print_summary(std::cout, summary, catalogue, folder.path(), written_files(options.formats));
    std::cout.flush();
    if (!std::cout) throw tools::ToolError("cannot write the summary to standard output");
  }
  return summary.count(Verdict::Violation) > 0 ? kViolations : kNoViolation;
}

} // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
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

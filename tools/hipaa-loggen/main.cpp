// hipaa-loggen: writes a synthetic audit log for the HIPAA case study.
#include "generator.hpp"
#include "log_writer.hpp"
#include "options.hpp"

#include "common/count_noun.hpp"
#include "common/output_file.hpp"
#include "common/tool_main.hpp"

#include <iostream>
#include <optional>

namespace {

using namespace hipaa;

void report_progress(std::int64_t written, std::int64_t total) {
  std::cerr << "hipaa-loggen: " << written << " of "
            << tools::count_noun(total, "disclosure", "disclosures") << "\n";
}

int run(int argc, char** argv) {
  loggen::Options options = loggen::parse_options(argc, argv);
  if (options.help) {
    std::cout << loggen::usage_text();
    return 0;
  }
  if (options.version) {
    std::cout << tools::version_text("hipaa-loggen");
    return 0;
  }
  tools::OutputFile output(options.output, options.force);
  std::optional<loggen::TruthFile> truth;
  if (!options.truth.empty()) truth.emplace(options.truth, options.force);
  loggen::Settings settings{options.disclosures, options.seed, options.violations,
                            truth ? &*truth : nullptr};
  loggen::LogWriter log(output.temporary_path());
  loggen::Progress progress;
  if (options.disclosures >= 200000) {
    progress = [&](std::int64_t written) { report_progress(written, options.disclosures); };
  }
  // The truth file lists every disclosure by its message, and every request
  // for access or for an accounting by the individual who made it.
  loggen::LabelSink labels;
  if (truth) {
    labels = [&truth](const loggen::Label& label) {
      truth->add(label.message,
                 {label.kind.c_str(), loggen::verdict_name(label.verdict), label.clause.c_str()});
    };
  }
  loggen::generate_log(settings, log, progress, labels);
  if (progress) std::cerr << "hipaa-loggen: building indexes\n";
  log.finish();
  if (truth) truth->finish();
  output.commit();
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  return hipaa::tools::run_tool("hipaa-loggen", [&] { return run(argc, argv); });
}

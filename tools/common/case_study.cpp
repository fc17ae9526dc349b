#include "case_study.hpp"

#include "command_line.hpp"
#include "tool_error.hpp"

#include <cstdlib>
#include <filesystem>

namespace hipaa::tools {

namespace {

bool is_file(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(path, ignored);
}

} // namespace

CaseStudyPlaces case_study_places(const std::string& local) {
  CaseStudyPlaces places;
  if (const char* folder = std::getenv("HIPAA_CASE_STUDY")) places.environment = folder;
  places.local = local;
  places.installed = HIPAA_CASE_STUDY_DIR;
  return places;
}

std::string find_case_study_file(const std::string& name, const std::string& option,
                                 const CaseStudyPlaces& places) {
  std::string looked;
  for (const std::optional<std::string>& folder :
       {places.environment, std::optional<std::string>(places.local),
        std::optional<std::string>(places.installed)}) {
    if (!folder || folder->empty()) continue;
    const std::string path = *folder + "/" + name;
    if (is_file(path)) return path;
    looked += (looked.empty() ? "" : ", ") + *folder;
  }
  if (!places.environment) looked += " (HIPAA_CASE_STUDY is not set)";
  throw UsageError("no " + name + " in " + looked + "; give --" + option +
                   " PATH or set HIPAA_CASE_STUDY to the case study's folder");
}

std::string case_study_file(const CommandLine& line, const std::string& option,
                            const std::string& name, const CaseStudyPlaces& places) {
  if (auto given = line.get(option)) return *given;
  return find_case_study_file(name, option, places);
}

} // namespace hipaa::tools

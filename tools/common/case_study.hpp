// Where the tools find the case study's declarations and policy when the
// command line names none: the folder HIPAA_CASE_STUDY names, then
// ./hipaa-case-study, then the one installed with the programs.  A file
// named on the command line is used as given.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hipaa::tools {

struct CommandLine;

// The folders searched, in order: the environment's (when set), the one in
// the working directory, the installed one.
struct CaseStudyPlaces {
  std::optional<std::string> environment;
  std::string local;
  std::string installed;
};

// These places for this process: HIPAA_CASE_STUDY, `local`, and the share
// folder the build installs the case study into.
CaseStudyPlaces case_study_places(const std::string& local = "./hipaa-case-study");

// The file `name` ("hipaa.d") in the first of the places that holds one, or
// a UsageError that lists every place looked in and names `option`.
std::string find_case_study_file(const std::string& name, const std::string& option,
                                 const CaseStudyPlaces& places);

// The value of --`option` when given, else `name` found in the places.
std::string case_study_file(const CommandLine& line, const std::string& option,
                            const std::string& name, const CaseStudyPlaces& places);

} // namespace hipaa::tools

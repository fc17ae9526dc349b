#include "report_folder.hpp"

#include "../common/tool_error.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace hipaa::report {

namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

[[noreturn]] void cannot_write(const std::string& path, int code) {
  throw tools::ToolError("cannot write the report to " + path + ": " + std::strerror(code));
}

// Only an earlier report is ever replaced: a folder that holds anything
// else is the user's, and stays as it is.
bool holds_only_a_report(const std::string& path) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
    std::string name = entry.path().filename().string();
    if (name != "verdicts.csv" && name != "verdicts.json" && name != "summary.html" &&
        name != "manifest.json" && name != "summary-part.jsonl" && name != "units.jsonl")
      return false;
  }
  return !error;
}

} // namespace

ReportFolder::ReportFolder(std::string path)
    : path_(trimmed(std::move(path))), temporary_(path_ + ".tmp-" + std::to_string(::getpid())) {
  std::error_code ignored;
  fs::file_status existing = fs::symlink_status(path_, ignored);
  if (fs::exists(existing) && !fs::is_directory(existing)) {
    throw tools::ToolError("cannot write the report to " + path_ + ": it is not a folder");
  }
  if (fs::is_directory(existing) && !holds_only_a_report(path_)) {
    throw tools::ToolError("cannot write the report to " + path_ +
                           ": the folder holds files that are not a report's");
  }
  fs::remove_all(temporary_, ignored);
  if (!fs::create_directory(temporary_, ignored))
    cannot_write(path_, ignored ? ignored.value() : EEXIST);
}

ReportFolder::~ReportFolder() {
  if (committed_) return;
  std::error_code ignored;
  fs::remove_all(temporary_, ignored);
}

std::ofstream ReportFolder::create(const std::string& name) const {
  std::ofstream file(temporary_ + "/" + name, std::ios::binary | std::ios::trunc);
  if (!file) cannot_write(path_ + "/" + name, errno);
  return file;
}

void ReportFolder::close(std::ofstream& file, const std::string& name) const {
  file.flush();
  if (!file) cannot_write(path_ + "/" + name, errno);
  file.close();
  if (file.fail()) cannot_write(path_ + "/" + name, errno);
}

void ReportFolder::commit() {
  std::error_code error;
  std::string previous;
  if (fs::exists(fs::symlink_status(path_, error))) {
    if (!fs::is_directory(fs::symlink_status(path_, error))) {
      throw tools::ToolError("cannot write the report to " + path_ + ": it is not a folder");
    }
    previous = path_ + ".old-" + std::to_string(::getpid());
    fs::rename(path_, previous, error);
    if (error) cannot_write(path_, error.value());
  }
  fs::rename(temporary_, path_, error);
  if (error) {
    int code = error.value();
    if (!previous.empty()) fs::rename(previous, path_, error);
    cannot_write(path_, code);
  }
  committed_ = true;
  if (!previous.empty()) fs::remove_all(previous, error);
}

} // namespace hipaa::report

// The report folder: written under a temporary name beside the requested
// one and put in place, replacing an earlier report, only when complete.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace hipaa::report {

class ReportFolder {
public:
  // Creates the temporary folder at once, so that an unwritable place is
  // found before the audit runs, and removes the temporary folders that
  // killed runs left beside `path`.  ToolError when it cannot.  SIGINT,
  // SIGTERM and SIGHUP remove the temporary folder from then on.
  explicit ReportFolder(std::string path);
  ReportFolder(const ReportFolder&) = delete;
  ReportFolder& operator=(const ReportFolder&) = delete;
  ~ReportFolder(); // removes the temporary folder unless committed

  // A new file in the temporary folder; ToolError when it cannot be made.
  std::ofstream create(const std::string& name);
  // Checks that everything written to `file` arrived, then closes it.
  void close(std::ofstream& file, const std::string& name) const;
  // Where file `name` is written until the folder is put in place.
  std::string staged(const std::string& name) const { return temporary_ + "/" + name; }
  // Puts the folder in place of `path`, once its files are on the disk.
  // An earlier report there is replaced only if the folder still holds
  // nothing but a report's files; otherwise the new report is kept beside
  // it, under a name the ToolError gives.
  void commit();

  const std::string& path() const { return path_; }

private:
  void remove_temporary();

  std::string path_;
  std::string temporary_;
  std::vector<std::string> files_;
  std::vector<int> slots_;
  bool committed_ = false;
};

} // namespace hipaa::report

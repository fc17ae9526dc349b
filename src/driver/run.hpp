// The run sequence of one audit.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa {

inline constexpr const char* kDeclarationsPath = "./hipaa-case-study/hipaa.d";
inline constexpr const char* kPolicyPath = "./hipaa-case-study/hipaa.f";
inline constexpr const char* kAuditDatabasePath = "hipaa.db";
// How much of the log SQLite may keep in memory while the audit reads it.
inline constexpr int kLogPageCacheMiB = 64;
inline constexpr const char* kResidualPath = "./rform";

// Runs the whole audit in the current directory; `arguments` excludes the
// program name.  Diagnostics and the report go to `out`.
void run_audit(const std::vector<std::string>& arguments, std::ostream& out);

} // namespace hipaa

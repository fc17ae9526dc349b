// Judging one stored value of a log against its column's sort, as the audit
// will read it back.
#pragma once

#include "logic/declarations.hpp"

#include <string>
#include <unordered_map>

namespace hipaa::tools {

enum class ValueVerdict {
  Good,
  Blanks,     // a string with blanks at either end or control characters
  Undeclared, // a constant not declared with the column's sort
  Unreadable, // read only after repair, or read back as another value
};

class StoredValueJudge {
public:
  explicit StoredValueJudge(const Signature& signature);

  // The verdict on `value`; for Undeclared and Unreadable, `detail` says
  // why ("is not declared", "reads back as ...").
  ValueVerdict judge(const std::string& value, const Sort& sort, std::string& detail) const;

private:
  ValueVerdict judge_by_parsing(const std::string& value, const Sort& sort,
                                std::string& detail) const;

  const Signature& signature_;
  std::unordered_map<std::string, Sort> constants_;
};

} // namespace hipaa::tools

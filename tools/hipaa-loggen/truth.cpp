#include "truth.hpp"

#include "common/csv_field.hpp"

#include <cerrno>
#include <cctype>
#include <cstring>
#include <vector>

namespace hipaa::loggen {

TruthFile::TruthFile(const std::string& path, bool overwrite)
    : output_(path, overwrite), file_(output_.temporary_path(), std::ios::binary) {
  if (!file_) throw tools::ToolError("cannot write " + path + ": " + std::strerror(errno));
  file_ << "message,kind,verdict,clause,paragraph\r\n";
}

void TruthFile::add(std::string_view message, const Planted& planted) {
  file_ << tools::csv_field(message) << ',' << planted.kind << ',' << planted.verdict << ','
        << planted.clause << ',' << paragraph_of(planted.clause) << "\r\n";
}

std::string paragraph_of(std::string_view clause) {
  // c164-512-b-1-i-law-subj: part 164, section 512, paragraphs b, 1, i;
  // words after the paragraphs (law, subj, wait) name the judgement.
  if (clause.size() < 2 || clause[0] != 'c') return "";
  std::vector<std::string> parts;
  std::size_t start = 1;
  while (start <= clause.size()) {
    std::size_t dash = clause.find('-', start);
    if (dash == std::string_view::npos) dash = clause.size();
    parts.emplace_back(clause.substr(start, dash - start));
    start = dash + 1;
  }
  if (parts.size() < 2) return "";
  std::string text = "45 CFR " + parts[0] + "." + parts[1];
  for (std::size_t i = 2; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    // A paragraph is a number, one letter or a roman numeral; any other
    // word names the judgement.
    const bool numeral = !part.empty() && part.find_first_not_of("0123456789") == std::string::npos;
    const bool letter = part.size() == 1 && std::isalpha(static_cast<unsigned char>(part[0]));
    const bool roman = !part.empty() && part.find_first_not_of("ivx") == std::string::npos;
    if (!numeral && !letter && !roman) break;
    text += "(" + part + ")";
  }
  return text;
}

void TruthFile::finish() {
  file_.close();
  if (file_.fail()) {
    throw tools::ToolError("cannot write " + output_.path() + ": " + std::strerror(errno));
  }
  output_.commit();
}

} // namespace hipaa::loggen

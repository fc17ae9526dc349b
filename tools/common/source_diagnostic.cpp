#include "source_diagnostic.hpp"

#include "edit_distance.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <variant>

namespace hipaa::tools {

namespace {

bool continues_utf8(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte range of line `line` (from 1), without its LF or CR.
std::string_view line_of(std::string_view text, std::size_t line) {
  std::size_t start = 0;
  for (std::size_t at = 1; at < line; ++at) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) return {};
    start = end + 1;
  }
  std::size_t end = text.find('\n', start);
  std::string_view found =
      text.substr(start, end == std::string_view::npos ? text.npos : end - start);
  if (!found.empty() && found.back() == '\r') found.remove_suffix(1);
  return found;
}

std::size_t characters(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !continues_utf8(c); }));
}

bool symbol_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-' ||
         continues_utf8(c) || (static_cast<unsigned char>(c) & 0x80) != 0;
}

std::string folded(std::string_view name) {
  std::string text;
  for (char c : name) {
    if (c == '_' || c == '-') continue;
    text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

struct Pattern {
  const char* prefix;
  NameKind kind;
  std::size_t occurrence;
};

// The check messages that name one symbol right after a fixed prefix.
constexpr std::array kPatterns{
    Pattern{"Undeclared constructor: ", NameKind::Constructor, 1},
    Pattern{"Non-constructor: ", NameKind::Constructor, 1},
    Pattern{"Undeclared/non-constructor: ", NameKind::Constructor, 1},
    Pattern{"Undeclared predicate symbol: ", NameKind::Predicate, 1},
    Pattern{"Non-predicate: ", NameKind::Predicate, 1},
    Pattern{"Mode check: Undeclared/non-predicate: ", NameKind::Predicate, 1},
    Pattern{"SUBJ predicate: ", NameKind::Other, 1},
    Pattern{"EVAL predicate: ", NameKind::Other, 1},
    Pattern{"Error: Variable ", NameKind::Other, 2},
    Pattern{"Name <", NameKind::Other, 2},
    Pattern{"Sort clash on variable: ", NameKind::Other, 1},
    Pattern{"Variable ", NameKind::Other, 1},
    Pattern{"Sort ", NameKind::Sort, 1},
    Pattern{"Undeclared sort name: ", NameKind::Sort, 1},
    Pattern{"Duplicate declaration of identifier: ", NameKind::Other, 2},
    Pattern{"Unnecessary infix name: ", NameKind::Other, 1},
    Pattern{"SYM constructor: ", NameKind::Other, 1},
    Pattern{"SQL constructor: ", NameKind::Other, 1},
    Pattern{"EVAL constructor: ", NameKind::Other, 1},
    Pattern{"SQL predicate: ", NameKind::Other, 1},
    Pattern{"%dbinfo not given for DB predicate: ", NameKind::Other, 1},
    Pattern{"%dbinfo given for non-DB predicate: ", NameKind::Other, 1},
    Pattern{"Number of columns in %dbinfo of predicate: ", NameKind::Other, 1},
    Pattern{"Nullary DB predicate: ", NameKind::Other, 1},
    Pattern{"Error: In term ", NameKind::Other, 1},
    Pattern{"Term ", NameKind::Other, 1},
};

bool declared(const Signature& signature, const std::string& name) {
  return std::any_of(signature.begin(), signature.end(),
                     [&](const DeclEntry& entry) { return entry.name == name; });
}

} // namespace

std::string located_message(const std::string& path, std::string_view text, SourcePlace place,
                            const std::string& message) {
  std::string out = path + ":" + std::to_string(place.line) + ":" + std::to_string(place.column) +
                    ": " + message + "\n";
  std::string_view source = line_of(text, place.line);
  out += "  ";
  out += source;
  out += "\n  ";
  // The caret under the column: tabs kept, so that it lines up.
  std::size_t counted = 0;
  for (std::size_t i = 0; i < source.size() && counted + 1 < place.column; ++i) {
    if (continues_utf8(source[i])) continue;
    out += source[i] == '\t' ? '\t' : ' ';
    ++counted;
  }
  for (; counted + 1 < place.column; ++counted) out += ' ';
  out += "^\n";
  return out;
}

SourcePlace unframed_place(std::string_view text, std::size_t marker_length, std::size_t line,
                           std::size_t column) {
  SourcePlace place{line, column};
  if (line == 1) place.column = column > marker_length + 1 ? column - marker_length - 1 : 1;
  std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (!text.empty() && text.back() == '\n') --lines;
  if (lines == 0) lines = 1;
  if (place.line > lines) place.line = lines;
  std::size_t width = characters(line_of(text, place.line));
  if (place.line != line || place.column > width + 1) place.column = width + 1;
  return place;
}

std::optional<RepairSuggestion> read_repair_line(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t dot = line.find('.');
  std::size_t close = line.find("]: ");
  if (dot == line.npos || close == line.npos || dot > close) return std::nullopt;
  RepairSuggestion suggestion{0, 0, {}};
  for (char c : line.substr(1, dot - 1)) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    suggestion.line = suggestion.line * 10 + static_cast<std::size_t>(c - '0');
  }
  for (char c : line.substr(dot + 1, close - dot - 1)) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    suggestion.column = suggestion.column * 10 + static_cast<std::size_t>(c - '0');
  }
  std::string action(line.substr(close + 3));
  while (!action.empty() && (action.back() == '\n' || action.back() == '\r')) action.pop_back();
  auto after = [&](std::string_view prefix) -> std::optional<std::string> {
    if (action.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return action.substr(prefix.size());
  };
  if (auto tokens = after("try inserting ")) {
    suggestion.message = "syntax error; suggested repair: insert " + *tokens + " here";
  } else if (auto deleted = after("try deleting ")) {
    suggestion.message = "syntax error; suggested repair: delete " + *deleted;
  } else if (auto substituted = after("try substituting ")) {
    std::size_t for_at = substituted->find(" for ");
    suggestion.message = for_at == std::string::npos
                             ? "syntax error; suggested repair: substitute " + *substituted
                             : "syntax error; suggested repair: replace " +
                                   substituted->substr(for_at + 5) + " by " +
                                   substituted->substr(0, for_at);
  } else if (auto token = after("syntax error at ")) {
    suggestion.message = "syntax error at " + *token + "; no repair found";
  } else {
    suggestion.message = action;
  }
  return suggestion;
}

std::optional<SourcePlace> find_symbol(std::string_view text, std::string_view name,
                                       std::size_t occurrence) {
  if (name.empty()) return std::nullopt;
  SourcePlace here;
  std::optional<SourcePlace> first;
  std::size_t seen = 0;
  int comment_depth = 0;
  auto advance = [&](std::size_t& i) {
    if (text[i] == '\n') {
      ++here.line;
      here.column = 1;
    } else if (!continues_utf8(text[i])) {
      ++here.column;
    }
    ++i;
  };
  for (std::size_t i = 0; i < text.size();) {
    if (comment_depth > 0) {
      if (text.compare(i, 2, "*)") == 0) {
        --comment_depth;
        advance(i);
        advance(i);
      } else if (text.compare(i, 2, "(*") == 0) {
        ++comment_depth;
        advance(i);
        advance(i);
      } else {
        advance(i);
      }
      continue;
    }
    char c = text[i];
    if (c == '%' && text.compare(i, 7, "%dbinfo") != 0) {
      while (i < text.size() && text[i] != '\n') advance(i);
      continue;
    }
    if (text.compare(i, 2, "(*") == 0) {
      comment_depth = 1;
      advance(i);
      advance(i);
      continue;
    }
    if (c == '"') {
      advance(i);
      while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < text.size()) advance(i);
        advance(i);
      }
      if (i < text.size()) advance(i);
      continue;
    }
    if (symbol_char(c)) {
      SourcePlace start = here;
      std::size_t begin = i;
      while (i < text.size() && symbol_char(text[i])) advance(i);
      if (text.substr(begin, i - begin) == name) {
        if (!first) first = start;
        if (++seen == occurrence) return start;
      }
      continue;
    }
    advance(i);
  }
  return first;
}

std::optional<std::string> closest_name(const std::string& name,
                                        const std::vector<std::string>& candidates) {
  const std::string key = folded(name);
  std::optional<std::string> best;
  std::size_t best_distance = name.size() <= 4 ? 1 : 2;
  for (const std::string& candidate : candidates) {
    if (candidate == name) continue;
    if (folded(candidate) == key && !key.empty()) return candidate;
    std::size_t distance = edit_distance(name, candidate);
    if (distance <= best_distance && (!best || distance < edit_distance(name, *best))) {
      best = candidate;
    }
  }
  return best;
}

std::vector<std::string> declared_names(const Signature& signature, NameKind kind) {
  std::vector<std::string> names;
  for (const DeclEntry& entry : signature) {
    bool wanted = false;
    if (kind == NameKind::Predicate) wanted = std::holds_alternative<PredDecl>(entry.decl);
    if (kind == NameKind::Constructor) wanted = std::holds_alternative<ConsDecl>(entry.decl);
    if (kind == NameKind::Sort) wanted = std::holds_alternative<SortDecl>(entry.decl);
    if (wanted) names.push_back(entry.name);
  }
  return names;
}

CheckMessage read_check_message(const std::string& message, const Signature* signature) {
  CheckMessage read;
  for (const Pattern& pattern : kPatterns) {
    std::string_view prefix = pattern.prefix;
    if (message.compare(0, prefix.size(), prefix) != 0) continue;
    std::size_t end = message.find_first_of(" .>\n", prefix.size());
    read.symbol = message.substr(prefix.size(), end == std::string::npos ? std::string::npos
                                                                         : end - prefix.size());
    read.kind = pattern.kind;
    read.occurrence = pattern.occurrence;
    break;
  }
  if (read.symbol.empty() || signature == nullptr) return read;
  if (read.kind == NameKind::Constructor && !declared(*signature, read.symbol)) {
    read.hint = " (nothing of that name is declared; if " + read.symbol +
                " is meant as a variable, no quantifier around it binds it)";
  }
  if (read.kind != NameKind::Other) {
    if (auto close = closest_name(read.symbol, declared_names(*signature, read.kind))) {
      read.hint += "; did you mean " + *close + "?";
    }
  }
  return read;
}

std::string check_diagnostic(const std::string& path, std::string_view text,
                             const std::string& message, const Signature* signature) {
  std::string line = message;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  CheckMessage read = read_check_message(line, signature);
  std::optional<SourcePlace> place;
  if (!read.symbol.empty()) place = find_symbol(text, read.symbol, read.occurrence);
  if (!place) return path + ": " + line + read.hint + "\n";
  return located_message(path, text, *place, line + read.hint);
}

} // namespace hipaa::tools

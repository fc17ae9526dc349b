// The declarations language: its lexer's differences from the policy
// lexer, the declarations built, repairs, and reading files.
#include "base/failure.hpp"
#include "logic/sort.hpp"
#include "syntax/decls_parser.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace hipaa {
namespace {

struct DeclParse {
  std::optional<DeclList> decls;
  std::string diag;
};

DeclParse parse(const std::string& text) {
  std::ostringstream diag;
  std::optional<DeclList> decls = parse_decls_text(text, diag);
  return DeclParse{std::move(decls), diag.str()};
}

// One declaration as text: name, kind, class, argument modes and sorts,
// result, infix and dbinfo.
std::string describe(const DeclEntry& entry) {
  std::string text = entry.name + ":";
  if (std::holds_alternative<SortDecl>(entry.decl)) return text + "sort";
  if (const auto* pred = std::get_if<PredDecl>(&entry.decl)) {
    const char* classes[] = {"SUBJ", "DB", "EVAL", "SQL"};
    text += std::string("pred ") + classes[static_cast<int>(pred->cls)];
    for (const PredArg& arg : pred->args)
      text += (arg.mode == Mode::Input ? " +" : " -") + print_sort(arg.sort);
    if (pred->infix) text += " infix=" + *pred->infix;
    if (pred->dbinfo) {
      text += " db=" + pred->dbinfo->table + "(";
      for (const std::string& column : pred->dbinfo->columns) text += column + ";";
      text += ")";
    }
    return text;
  }
  const auto& cons = std::get<ConsDecl>(entry.decl);
  const char* classes[] = {"SYM", "SQL", "EVAL"};
  text += std::string("cons ") + classes[static_cast<int>(cons.cls)];
  for (const Sort& sort : cons.arg_sorts) text += " " + print_sort(sort);
  text += " -> " + print_sort(cons.result);
  if (cons.infix) text += " infix=" + *cons.infix;
  return text;
}

std::string describe_all(const std::string& text) {
  DeclParse parsed = parse(text);
  if (!parsed.decls) return "<none>";
  std::string out;
  for (const DeclEntry& entry : *parsed.decls) out += describe(entry) + "\n";
  return out;
}

TEST(DeclsParser, EmptyFilesAndComments) {
  EXPECT_EQ(describe_all(""), "");
  EXPECT_EQ(describe_all("% nothing\n(* still nothing *)\n% last line"), "");
  EXPECT_EQ(parse("").diag, "");
}

TEST(DeclsParser, Declarations) {
  EXPECT_EQ(describe_all("msg : sort ."), "msg:sort\n");
  EXPECT_EQ(describe_all("x:sort."), "x:sort\n");
  EXPECT_EQ(describe_all("p : pred ."), "p:pred DB\n");
  EXPECT_EQ(describe_all("c : msg . n : int ."), "c:cons SYM -> msg\nn:cons EVAL -> int\n");
  EXPECT_EQ(
      describe_all("send : string + -> msg (-) -> pred DB %dbinfo \"log\" (\"who\", \"what\") ."),
      "send:pred DB +string -msg db=log(who;what;)\n");
  EXPECT_EQ(describe_all("lt : int + -> int + -> pred SQL %infix \"<\" ."),
            "lt:pred SQL +int +int infix=<\n");
  EXPECT_EQ(describe_all("f : string -> msg ."), "f:cons SYM string -> msg\n");
  EXPECT_EQ(describe_all("g : any -> date -> int SQL %infix \"+\" ."),
            "g:cons SQL any date -> int infix=+\n");
  EXPECT_EQ(describe_all("h : msg -> any ."), "h:cons SYM msg -> any\n");
  EXPECT_EQ(describe_all("s : string (+) -> pred EVAL ."),
            describe_all("s : string + -> pred EVAL ."));
  EXPECT_EQ(describe_all("q : pred SUBJ %infix \"~\" %dbinfo \"t\" (\"a\") ."),
            "q:pred SUBJ infix=~ db=t(a;)\n");
  EXPECT_EQ(describe_all("a : sort . a : sort ."), "a:sort\na:sort\n");
}

TEST(DeclsParser, LexerDifferences) {
  // An identifier absorbs the "-" of a following "->".
  DeclParse glued = parse("f : a->b .");
  EXPECT_EQ(glued.diag.substr(0, 18), "Unknown symbol: >\n");
  // Digits and policy punctuation are unknown symbols; %dbinfox is the
  // directive followed by an identifier; policy markers are comments.
  DeclParse odd = parse("1x : sort . [ %#parse_formula#% y : sort .\n");
  EXPECT_EQ(odd.diag, "Unknown symbol: 1\nUnknown symbol: [\n");
  EXPECT_EQ(describe_all("x : sort . %#parse_term#% y : sort .\nz : sort ."), "x:sort\nz:sort\n");
}

TEST(DeclsParser, RepairsAreReported) {
  // A predicate argument without its mode: read as a constructor whose
  // result sort is missing.
  DeclParse no_mode = parse("p : string -> pred .");
  EXPECT_EQ(no_mode.diag, "[1.31]: try substituting ID for pred\n");
  EXPECT_EQ(describe(no_mode.decls.value().at(0)), "p:cons SYM string -> x");
  // A constructor argument with a mode: read as a predicate.
  DeclParse moded = parse("f : string + -> msg .");
  EXPECT_EQ(moded.diag, "[1.33]: try substituting pred for ID\n");
  EXPECT_EQ(describe(moded.decls.value().at(0)), "f:pred DB +string");
  // A missing final ".".
  DeclParse open = parse("a : sort . b : sort");
  EXPECT_EQ(open.diag, "[1.37]: try inserting .\n");
  EXPECT_EQ(open.decls.value().size(), 2u);
}

TEST(DeclsParser, UnrepairableDeclarations) {
  DeclParse broken = parse("a : sort . %dbinfo %dbinfo %dbinfo %dbinfo %dbinfo %dbinfo %dbinfo");
  EXPECT_FALSE(broken.decls.has_value());
  EXPECT_EQ(broken.diag.substr(broken.diag.size() - 1), "\n");
}

TEST(DeclsParser, FilesAndStandardInput) {
  const std::string path = ::testing::TempDir() + "decls_parser_test.d";
  {
    std::ofstream file(path);
    file << "msg : sort .\n";
  }
  std::ostringstream diag;
  EXPECT_EQ(parse_decls_file(path, diag).value().size(), 1u);
  std::remove(path.c_str());
  try {
    parse_decls_file(path, diag);
    FAIL() << "expected Io";
  } catch (const Io& failure) {
    EXPECT_EQ(failure.message(),
              "Io: openIn \"" + path + "\" failed with SysErr: No such file or directory [noent]");
  }
  try {
    parse_decls_file(::testing::TempDir(), diag);
    FAIL() << "expected Io";
  } catch (const Io& failure) {
    EXPECT_EQ(failure.operation(), "inputAll");
  }
}

} // namespace
} // namespace hipaa

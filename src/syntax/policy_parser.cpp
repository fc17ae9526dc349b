#include "syntax/policy_parser.hpp"

#include "base/failure.hpp"
#include "syntax/framing.hpp"
#include "syntax/parse_run.hpp"
#include "syntax/policy_grammar.hpp"
#include "syntax/policy_lexer.hpp"
#include "syntax/token_stream.hpp"

#include <ostream>

namespace hipaa {

using syntax::PolicyGrammar;
using syntax::PolicyLexer;
using syntax::Token;
using syntax::TokenStream;

namespace {

syntax::ParseRun<ParseValue> parse_framed(TokenStream<PolicyLexer>& stream) {
  return syntax::run_parse<PolicyGrammar>(stream, PolicyGrammar::Builder(&stream.lexer().dates()));
}

// A stored value is most often one literal or one constant: the term marker,
// one token that forms a whole term by itself, and the end marker.  Such a
// text is built directly, without running the grammar's machine.
std::optional<TermPtr> single_token_term(TokenStream<PolicyLexer>& stream) {
  if (stream.at(0).kind != syntax::P_START_TERM) return std::nullopt;
  const Token token = stream.at(1);
  switch (token.kind) {
  case syntax::P_ID:
  case syntax::P_STR:
  case syntax::P_INT:
  case syntax::P_DATE: break;
  default: return std::nullopt;
  }
  if (stream.at(2).kind != syntax::P_EOF) return std::nullopt;
  switch (token.kind) {
  case syntax::P_ID: return make_app(std::string(token.text));
  case syntax::P_STR: return make_str(std::string(token.text));
  case syntax::P_INT: return make_int(token.value);
  default: return make_date(stream.lexer().dates()[static_cast<std::size_t>(token.value)]);
  }
}

} // namespace

FormulaParse parse_formula_text(const std::string& text, std::ostream& diag) {
  const std::string framed = syntax::frame(syntax::kFormulaMarker, text);
  PolicyLexer lexer(framed, diag);
  TokenStream<PolicyLexer> stream(lexer);
  syntax::ParseRun<ParseValue> run = parse_framed(stream);
  return FormulaParse{std::move(run.repair_lines), std::move(run.result)};
}

std::optional<TermPtr> parse_term(const std::string& text, std::ostream& diag) {
  const std::string framed = syntax::frame(syntax::kTermMarker, text);
  PolicyLexer lexer(framed, diag);
  TokenStream<PolicyLexer> stream(lexer);
  if (std::optional<TermPtr> direct = single_token_term(stream)) return direct;
  syntax::ParseRun<ParseValue> run = parse_framed(stream);
  write_repair_block(run.repair_lines, diag);
  if (!run.result) return std::nullopt;
  if (const TermPtr* term = std::get_if<TermPtr>(&*run.result)) return *term;
  raise("BadParseType");
}

void write_repair_block(const std::vector<std::string>& lines, std::ostream& out) {
  if (lines.empty()) return;
  std::string block;
  for (const std::string& line : lines) block += line;
  out << block;
  out.flush();
}

} // namespace hipaa

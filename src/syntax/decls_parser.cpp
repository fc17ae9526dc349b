#include "syntax/decls_parser.hpp"

#include "base/file_io.hpp"
#include "syntax/decls_grammar.hpp"
#include "syntax/decls_lexer.hpp"
#include "syntax/framing.hpp"
#include "syntax/parse_run.hpp"
#include "syntax/policy_parser.hpp"
#include "syntax/token_stream.hpp"

namespace hipaa {

std::optional<DeclList> parse_decls_file(const std::string& path, std::ostream& diag) {
  return parse_decls_text(read_text_file(path), diag);
}

std::optional<DeclList> parse_decls_text(const std::string& text, std::ostream& diag) {
  using syntax::DeclsGrammar;
  using syntax::DeclsLexer;
  const std::string framed = syntax::frame(syntax::kDeclsMarker, text);
  DeclsLexer lexer(framed, diag);
  syntax::TokenStream<DeclsLexer> stream(lexer);
  syntax::ParseRun<DeclList> run = syntax::run_parse<DeclsGrammar>(stream, DeclsGrammar::Builder());
  write_repair_block(run.repair_lines, diag);
  return std::move(run.result);
}

} // namespace hipaa

#include "syntax/decls_parser.hpp"

#include "driver/failure.hpp"
#include "syntax/decls_grammar.hpp"
#include "syntax/decls_lexer.hpp"
#include "syntax/framing.hpp"
#include "syntax/parse_run.hpp"
#include "syntax/policy_parser.hpp"
#include "syntax/token_stream.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace hipaa {

namespace {

// Owns a file descriptor opened for reading; standard input is borrowed.
class InputFile {
public:
  explicit InputFile(const std::string& path) : path_(path) {
    if (path_ == "-") return;
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) raise_io("openIn", path_, errno);
    owned_ = true;
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() {
    if (owned_) ::close(fd_);
  }

  std::string read_all() {
    std::string text;
    char buffer[65536];
    for (;;) {
      const ssize_t count = ::read(fd_, buffer, sizeof buffer);
      if (count == 0) return text;
      if (count < 0) {
        if (errno == EINTR) continue;
        raise_io("inputAll", path_, errno);
      }
      text.append(buffer, static_cast<std::size_t>(count));
    }
  }

  void close() {
    if (!owned_) return;
    owned_ = false;
    if (::close(fd_) != 0) raise_io("closeIn", path_, errno);
  }

private:
  std::string path_;
  int fd_ = STDIN_FILENO;
  bool owned_ = false;
};

} // namespace

std::optional<DeclList> parse_decls_file(const std::string& path, std::ostream& diag) {
  InputFile file(path);
  const std::string text = file.read_all();
  file.close();
  return parse_decls_text(text, diag);
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

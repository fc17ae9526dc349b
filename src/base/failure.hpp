// Named failures.  A component that detects a problem writes its one-line
// diagnostic to standard output, flushes, and throws one of these; only the
// top-level handler in main catches them (the reduction's early exit and the
// parsers' unrepairable signal are internal and never reach it).
#pragma once

#include <exception>
#include <optional>
#include <string>

namespace hipaa {

// A failure identified by its name alone, for example "SortClash".
class Failure : public std::exception {
public:
  explicit Failure(std::string name) : name_(std::move(name)) {}
  const std::string& name() const noexcept { return name_; }
  // The text the top-level handler prints after "unhandled exception: ".
  virtual std::string message() const { return name_; }
  const char* what() const noexcept override { return name_.c_str(); }

private:
  std::string name_;
};

// An internal error of the syntax repair machinery.
class Fail : public Failure {
public:
  explicit Fail(std::string text) : Failure("Fail"), text_(std::move(text)) {}
  std::string message() const override { return "Fail: " + text_; }
  const std::string& text() const noexcept { return text_; }

private:
  std::string text_;
};

// An error reported by the operating system: its strerror text and errno.
class SysErr : public Failure {
public:
  SysErr(std::string text, std::optional<int> code)
      : Failure("SysErr"), text_(std::move(text)), code_(code) {}
  // Builds the failure for an errno value, with the C library's text.
  static SysErr from_errno(int code);
  std::string message() const override;
  const std::optional<int>& code() const noexcept { return code_; }

private:
  std::string text_;
  std::optional<int> code_;
};

// Opening, reading, writing or closing a file failed.  The operation names
// in use are "openIn", "inputAll", "closeIn", "openOut", "output",
// "flushOut" and "closeOut".
class Io : public Failure {
public:
  Io(std::string operation, std::string file, std::string cause_message)
      : Failure("Io"), operation_(std::move(operation)), file_(std::move(file)),
        cause_(std::move(cause_message)) {}
  std::string message() const override {
    return "Io: " + operation_ + " \"" + file_ + "\" failed with " + cause_;
  }
  const std::string& operation() const noexcept { return operation_; }
  const std::string& file() const noexcept { return file_; }

private:
  std::string operation_;
  std::string file_;
  std::string cause_;
};

// The lower-case errno name without its leading E ("noent" for ENOENT), or
// "<UNKNOWN>" for a value Linux does not define.
std::string errno_short_name(int code);

// Throws the failure with the given name and no payload.
[[noreturn]] void raise(const char* name);

// Throws Io for a failed file operation, with errno's SysErr as its cause.
[[noreturn]] void raise_io(const std::string& operation, const std::string& file, int code);

} // namespace hipaa

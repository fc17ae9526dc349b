// The importer's CSV reader on arbitrary bytes: it reads records or refuses
// the file with a message, and every record it reads, written back as the
// tools write CSV (with and without the guard against formulas), reads
// back as the same record.  The first byte picks the guard.
#include "../tools/common/csv_field.hpp"
#include "../tools/common/tool_error.hpp"
#include "../tools/hipaa-import/csv_reader.hpp"
#include "fuzz_support.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <vector>

using namespace hipaa;

namespace {

// `text` as a file the reader can open by name, in memory.
class MemoryFile {
public:
  explicit MemoryFile(const std::string& text) : fd_(::memfd_create("csv", 0)) {
    fuzz::require(fd_ >= 0, "a memory file can be made");
    fuzz::require(::write(fd_, text.data(), text.size()) == static_cast<ssize_t>(text.size()),
                  "a memory file can be written");
  }
  ~MemoryFile() { ::close(fd_); }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
  int fd_;
};

// Every record of `text`; absent when the reader refuses it.
std::optional<std::vector<std::vector<std::string>>> records_of(const std::string& text) {
  MemoryFile file(text);
  std::vector<std::vector<std::string>> records;
  try {
    import::CsvReader reader(file.path(), "fuzz.csv");
    std::vector<std::string> fields;
    while (reader.next_record(fields)) records.push_back(fields);
  } catch (const tools::ToolError&) {
    return std::nullopt;
  }
  return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size == 0) return 0;
  const tools::Formulas formulas =
      data[0] % 2 == 0 ? tools::Formulas::Kept : tools::Formulas::Neutralised;
  const auto first = records_of(fuzz::as_text(data + 1, size - 1));
  if (!first) return 0;
  std::string written;
  for (const std::vector<std::string>& record : *first) {
    tools::append_csv_record(written, record, true, formulas);
    written += "\r\n";
  }
  const auto second = records_of(written);
  fuzz::require(second.has_value(), "a written file reads", written);
  std::vector<std::vector<std::string>> read_back = *second;
  if (formulas == tools::Formulas::Neutralised) {
    for (auto& record : read_back) {
      for (std::string& field : record) field = tools::strip_formula_guard(std::move(field));
    }
  }
  fuzz::require(read_back == *first, "every record reads back as written", written);
  return 0;
}

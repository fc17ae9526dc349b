// The rows of the relation queries answered last, so that a relation asked
// again with the same query (the purposes of one message, asked by clause
// after clause of its disclosure; the roles of one party at one time) is
// answered without reading the log again.  Only an answer read whole, that
// no consumer cut short and that wrote nothing, is kept: reading it again
// would meet the same rows of the one state of the log, in the same order,
// and write nothing either.  A few answers are kept, the oldest giving way.
#pragma once

#include "logic/term.hpp"

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace hipaa {

struct TableShape;

class RowCache {
public:
  // Answers of more rows than this are not kept.
  static constexpr std::size_t kMaxRows = 16;

  using Rows = std::shared_ptr<const std::vector<TermList>>;

  // The rows kept for the query `args` of the table of `shape`, or null.
  // They stay valid while held, whatever is added meanwhile.
  Rows find(const TableShape& shape, const TermList& args) const;

  // Keeps `rows` as the whole answer to the query `args` of `shape`'s table,
  // in place of the answer kept longest.
  void add(const TableShape& shape, const TermList& args, std::vector<TermList> rows);

private:
  struct Answer {
    const TableShape* shape = nullptr; // null while empty
    TermList args;
    Rows rows;
  };

  std::array<Answer, 8> answers_;
  std::size_t next_ = 0; // the slot the next answer takes
};

} // namespace hipaa

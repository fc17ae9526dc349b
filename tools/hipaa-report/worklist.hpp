// The worklist: the distinct questions of the open instances, each with the
// instances waiting on it, ranked by how many instances one answer
// settles.  Its memory grows with the distinct questions, not with the log:
// an entry lists its first instances and counts the rest.
#pragma once

#include "questions.hpp"

#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa::report {

// The words a person reads: the question each subjective predicate asks
// and the title of each clause, from the case study's templates.csv
// (predicate,if_false,if_true,question) and catalogue.csv (clause,
// citation,title,...).  Without them, the atom and the clause name stand.
class Wording {
public:
  Wording() = default;
  // Reads the files that exist; a file that exists but cannot be read as
  // CSV is a ToolError naming it.
  static Wording load(const std::string& templates_path, const std::string& catalogue_path);

  // The question in words: each atom's question with {1}..{n} filled in
  // (else the atom with its plain arguments), within the question's
  // all of / any one of.
  std::string question(const Question& question) const;
  std::string atom(const QuestionAtom& atom) const;
  // The clause's title, else its name.
  std::string title(const std::string& clause) const;

private:
  std::unordered_map<std::string, std::string> questions_; // predicate -> question
  std::unordered_map<std::string, std::string> titles_;    // clause -> title
};

class Worklist {
public:
  // Instances listed by position per question; the rest are counted.
  static constexpr std::size_t kListed = 50;

  // A question as the worklist keeps it: in words already, so that the atom
  // need not be kept.
  struct Entry {
    std::string id;
    std::string clause;
    std::string question; // in words
    std::string args;     // the atoms' plain arguments, each ended by '\n'
    std::size_t waiting = 0; // open instances whose residual asks it
    std::size_t settles = 0; // of those, the ones one answer decides
    std::vector<std::size_t> positions; // the first kListed of them
  };

  // The wording must outlive the worklist.
  explicit Worklist(const Wording& wording) : wording_(wording) {}

  // The questions of the open instance at `position`.
  void add(std::size_t position, const std::vector<Question>& questions);
  // Adds another part's entries, e.g. the worklist of another shard of the
  // same log: counts add up and positions stay in ascending order.
  void merge(const Worklist& other);

  std::size_t size() const { return entries_.size(); }
  // Most instances settled first, then most waiting, then by id.
  std::vector<const Entry*> ranked() const;

  // worklist.csv: id,clause,title,question,settles,waiting,instances,
  // decision,reviewer,date,note; the last four are left for a person.
  void write_csv(std::ostream& out) const;
  const Wording& wording() const { return wording_; }

private:
  const Wording& wording_;
  std::map<std::string, Entry> entries_;
};

} // namespace hipaa::report

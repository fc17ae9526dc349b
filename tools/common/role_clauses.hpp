// Which clauses of the policy ask for the role of a disclosure's sender,
// recipient or individual, and for which purposes: a party that holds no
// role at a disclosure's time fails exactly those clauses.
#pragma once

#include "logic/formula.hpp"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace hipaa::tools {

enum class Party : std::uint8_t { Sender = 1, Recipient = 2, Individual = 4 };

// "sender", "recipient" or "individual".
const char* party_name(Party party);

class RoleClauses {
public:
  // Reads `policy`: its first universal quantifier over a disclose-eval
  // atom names the sender, recipient and message, and a hasattrof atom of
  // its guard the individual.  A policy without one asks for no roles.
  explicit RoleClauses(const Formula& policy);

  // The names of the clauses that cannot hold without `party`'s role and
  // test one of `purposes` (stored purpose constants; a specific purpose
  // also counts as its general one) themselves or, testing none, in a
  // clause around them, in policy order; alternatives are passed over
  // where another alternative for the purpose permits without the role.
  std::vector<std::string> depending(Party party, const std::vector<std::string>& purposes) const;

private:
  struct Clause {
    std::string name;
    std::set<std::string> purposes; // tested by the clause itself
    std::uint8_t parties = 0;       // whose role the clause cannot hold without
    bool alternative = false;       // a disjunct of the formula around it
    std::vector<std::size_t> children; // the nearest named subformulas
  };

  struct Walk;
  bool asks(std::size_t clause, Party party) const;
  void collect(std::size_t clause, Party party, const std::set<std::string>& purposes,
               bool purpose_above, std::vector<std::string>& names) const;

  std::vector<Clause> clauses_;
  std::vector<std::size_t> roots_;
  mutable std::map<std::pair<std::uint8_t, std::string>, std::vector<std::string>> memo_;
};

} // namespace hipaa::tools

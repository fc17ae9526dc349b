// How a shard splits a run: by the rows of each rule's driving atom (the
// first conjunct of its guard; for the case study, one row of `disclose`
// per disclosure), in contiguous blocks dealt to the shards in turn.  Shard
// K/N takes the instances that extend its blocks' rows, and passes the
// other rows over unread: not parsed, not checked, without the queries
// that would extend them, so that N shards together read and enumerate
// the guards about once, not N times, and a damaged row is reported, or
// fails the run, in the one shard that takes it.  Neighbouring rows, which
// share the most lookups, stay in one shard.  A rule whose driving atom no
// one table query answers is dealt by the driving atom's solutions instead,
// each costing a shard that does not take it one solution of the atom.
//
// A shard does not know how many instances the other shards' driving
// rows have, so its rows carry positions within the shard.  It keeps, per
// rule, the number of driving rows (or solutions) and the instances of
// each of its own, in units.jsonl; from those of every shard the merge
// knows the place of every row in the whole run.
#pragma once

#include "auditor.hpp"
#include "options.hpp"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa::report {

constexpr const char* kUnitsFile = "units.jsonl";

// Per rule: how many driving rows (or solutions) the guard has, and how
// many instances each of one shard's driving rows has, in guard order.
struct RuleUnits {
  std::size_t driving = 0;
  std::vector<std::uint32_t> instances;
};

// Driving rows go to the shards in blocks of this many, in turn:
// enough to keep neighbours together, few enough that a small log still
// spreads over the shards.
constexpr std::size_t kDrivingBlock = 256;

// Whether shard `shard`/`shards` takes driving row (or solution) `driving`.
inline bool takes(std::size_t driving, std::size_t shard, std::size_t shards) {
  return driving / kDrivingBlock % shards == shard;
}

// Calls `instance(rule, position, sigma, tuple)` for every instance that
// shard options.shard/options.shards takes, in guard order, with positions
// counted within the shard, and keeps the units meanwhile.
class ShardEnumeration {
public:
  using InstanceFn = FunctionRef<void(std::size_t rule, std::size_t position,
                                      const Substitution& sigma, const TermList& tuple)>;

  ShardEnumeration(const Options& options, const Layout& layout);

  void run(Auditor& enumerator, InstanceFn instance);

  const std::vector<RuleUnits>& units() const { return units_; }
  // units.jsonl: one line per rule, {"rule", "driving", "instances"}.
  void write(std::ostream& out) const;

private:
  const Layout& layout_;
  std::size_t shard_;
  std::size_t shards_;
  std::vector<RuleUnits> units_;
};

// Reads a shard's units.jsonl for `rules` rules; a ToolError naming `path`
// when it is not one.
std::vector<RuleUnits> read_units(const std::string& path, std::size_t rules);

} // namespace hipaa::report

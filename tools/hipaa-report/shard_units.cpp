#include "shard_units.hpp"

#include "../common/count_noun.hpp"
#include "../common/tool_error.hpp"

#include <nlohmann/json.hpp>

#include <fstream>
#include <optional>
#include <ostream>

namespace hipaa::report {

ShardEnumeration::ShardEnumeration(const Options& options, const Layout& layout)
    : layout_(layout), shard_(options.shard), shards_(options.shards),
      units_(layout.rules().size()) {}

void ShardEnumeration::run(Auditor& enumerator, InstanceFn instance) {
  std::size_t position = 0;
  const Substitution none;
  const TermList no_values;
  for (std::size_t rule = 0; rule < layout_.rules().size(); ++rule) {
    RuleUnits& units = units_[rule];
    const Quantified* all = layout_.rules()[rule].all;
    if (all == nullptr) {
      // One instance, one driving solution.
      units.driving = 1;
      if (takes(0, shard_, shards_)) {
        units.instances.push_back(1);
        instance(rule, position++, none, no_values);
      }
      continue;
    }
    // The driving rows' instances, as the enumeration meets them: the
    // taken rows before a solution's row, and that row, get their count.
    auto taken = [&](std::size_t row) { return takes(row, shard_, shards_); };
    RowDeal deal{taken};
    std::size_t counted = 0;
    auto count_rows = [&](std::size_t end) {
      for (; counted < end; ++counted) {
        if (taken(counted)) units.instances.push_back(0);
      }
    };
    std::optional<bool> dealt = enumerator.engine().for_each_dealt_solution(
        *all, deal, [&](const Substitution& sigma, const TermList& tuple) {
          count_rows(deal.at + 1);
          ++units.instances.back();
          instance(rule, position++, sigma, tuple);
        });
    if (dealt) {
      count_rows(deal.rows);
      units.driving = deal.rows;
      continue;
    }
    enumerator.engine().for_each_solution(
        *all,
        [&](std::size_t driving) {
          units.driving = driving + 1;
          if (!takes(driving, shard_, shards_)) return false;
          units.instances.push_back(0);
          return true;
        },
        [&](const Substitution& sigma, const TermList& tuple) {
          ++units.instances.back();
          instance(rule, position++, sigma, tuple);
        });
  }
}

void ShardEnumeration::write(std::ostream& out) const {
  for (std::size_t rule = 0; rule < units_.size(); ++rule) {
    nlohmann::ordered_json line{{"rule", layout_.rules()[rule].name},
                                {"driving", units_[rule].driving},
                                {"instances", units_[rule].instances}};
    out << line.dump() << '\n';
  }
}

std::vector<RuleUnits> read_units(const std::string& path, std::size_t rules) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw tools::ToolError(path + ": cannot read");
  std::vector<RuleUnits> units;
  std::string text;
  while (std::getline(in, text)) {
    nlohmann::json line = nlohmann::json::parse(text, nullptr, false);
    try {
      if (line.is_discarded()) throw std::invalid_argument("not JSON");
      RuleUnits rule;
      rule.driving = line.at("driving").get<std::size_t>();
      rule.instances = line.at("instances").get<std::vector<std::uint32_t>>();
      units.push_back(std::move(rule));
    } catch (const std::exception&) {
      throw tools::ToolError(path + ":" + std::to_string(units.size() + 1) +
                             ": not a rule's units");
    }
  }
  if (units.size() != rules) {
    throw tools::ToolError(path + ": units for " +
                           tools::count_noun(units.size(), "rule", "rules") + ", the run has " +
                           std::to_string(rules));
  }
  return units;
}

} // namespace hipaa::report

// Hands the instances of every rule, in guard order, to the auditors and
// their records, in the same order, to the sink: inline on one thread, or
// through a bounded queue to N worker threads.
#pragma once

#include "auditor.hpp"
#include "options.hpp"
#include "shard_units.hpp"

#include <functional>

namespace hipaa::report {

using Sink = std::function<void(Record&&)>;

// Audits every rule instance, or with `shard` those its shard takes;
// `decisions` settle the questions people answered.  Engine failures pass
// on with the failing auditor's diagnostics in `diagnostics`.
void audit_instances(const Options& options, const CheckedPolicy& policy, const Layout& layout,
                     const Catalogue& catalogue, const Decisions& decisions, const Sink& sink,
                     std::string& diagnostics, ShardEnumeration* shard = nullptr);

} // namespace hipaa::report

// Copies of values that share no node with the originals, so that a
// thread can use values that another thread read from the log without
// both of them counting references on the same nodes.
#pragma once

#include "reduce/substitution.hpp"

namespace hipaa::report {

// A copy of `term` node by node.  Iterative: values nested however deep
// are copied in constant stack.
TermPtr private_term(const TermPtr& term);

// A guard solution and its value tuple, copied; a tuple value that is also
// bound in `sigma` stays one term in the copy.
struct PrivateInstance {
  Substitution sigma;
  TermList tuple;
};
PrivateInstance private_instance(const Substitution& sigma, const TermList& tuple);

} // namespace hipaa::report

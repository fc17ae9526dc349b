// Front-end throughput: parse_term on stored values of every kind, and the
// formula parse of a policy of about one megabyte.
#include "syntax/policy_parser.hpp"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

void parse_one_value(benchmark::State& state, const std::string& text) {
  std::ostringstream diag;
  for (auto _ : state) {
    std::optional<hipaa::TermPtr> term = hipaa::parse_term(text, diag);
    benchmark::DoNotOptimize(term);
  }
}

void BM_ParseTermString(benchmark::State& state) { parse_one_value(state, "\"alice\""); }
void BM_ParseTermConstant(benchmark::State& state) { parse_one_value(state, "phi"); }
void BM_ParseTermDate(benchmark::State& state) { parse_one_value(state, "2010:01:05:10:00:00"); }
void BM_ParseTermInt(benchmark::State& state) { parse_one_value(state, "~42"); }
void BM_ParseTermApplication(benchmark::State& state) {
  parse_one_value(state, "(f a (g \"b\" 3))");
}

// A conjunction of quantified rules, each about a hundred bytes.
std::string big_policy(std::size_t bytes) {
  std::string text = "and true\n";
  for (int i = 0; text.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    text += "  (<r" + n + "> all [p: principal] [m: msg] {[alice m" + n +
            "]} (send p m) "
            "(or (ex [t: date] (at m t) (later t 2010:01:05)) (ok p \"note " +
            n + "\" ~" + n + ")))\n";
  }
  return text;
}

void BM_ParsePolicy(benchmark::State& state) {
  const std::string text = big_policy(static_cast<std::size_t>(state.range(0)));
  std::ostringstream diag;
  for (auto _ : state) {
    hipaa::FormulaParse parse = hipaa::parse_formula_text(text, diag);
    benchmark::DoNotOptimize(parse);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}

} // namespace

BENCHMARK(BM_ParseTermString);
BENCHMARK(BM_ParseTermConstant);
BENCHMARK(BM_ParseTermDate);
BENCHMARK(BM_ParseTermInt);
BENCHMARK(BM_ParseTermApplication);
BENCHMARK(BM_ParsePolicy)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

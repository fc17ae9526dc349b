// The speed of hipaa-loggen: the wall-clock time to write a log of N
// disclosures, indexes included, running the built program as users do.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// hipaa-loggen is built beside this benchmark.
std::filesystem::path loggen_path() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "hipaa-loggen";
}

void BM_WriteLog(benchmark::State& state) {
  const std::filesystem::path output =
      std::filesystem::temp_directory_path() / ("loggen-bench-" + std::to_string(::getpid()) + ".db");
  const std::string command = loggen_path().string() + " --disclosures " +
                              std::to_string(state.range(0)) + " --seed 1 --force --output " +
                              output.string() + " 2> /dev/null";
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("hipaa-loggen failed");
      break;
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());
  }
  state.counters["disclosures_per_second"] = benchmark::Counter(
      static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  std::filesystem::remove(output);
}

BENCHMARK(BM_WriteLog)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();

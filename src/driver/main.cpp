// Entry point: runs one audit under the top-level handler.
#include "base/out_of_memory.hpp"
#include "driver/top_level.hpp"

int main(int argc, char** argv) {
  // As the top-level handler reports std::bad_alloc.
  hipaa::exit_when_memory_runs_out("unhandled exception: Out of memory\n", 1);
  return hipaa::run_main(argc, argv);
}

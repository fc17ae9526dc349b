// Entry point: runs one audit under the top-level handler.
#include "driver/top_level.hpp"

int main(int argc, char** argv) { return hipaa::run_main(argc, argv); }

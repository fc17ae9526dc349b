// The end of a run that memory fails.  A program whose allocator ends the
// process itself when memory runs out (mimalloc's operator new aborts
// rather than throw std::bad_alloc) installs this at start, so that it ends
// with its own message and status instead of a silent abort.
#pragma once

namespace hipaa {

// From now on, memory running out writes standard output's pending text,
// then `message` to standard error, and ends the process with `status`.
// Nothing with an allocator that throws std::bad_alloc.
void exit_when_memory_runs_out(const char* message, int status);

} // namespace hipaa

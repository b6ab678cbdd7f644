#pragma once
// Hooks for tests of what an interruption or a lack of memory leaves
// behind. A test sets KORVANE_TEST_HOOK in the environment of the program
// it starts:
//   signal:N      SIGTERM is raised once N bytes have gone to output files;
//   nomem:STEP    std::bad_alloc is thrown when STEP is reached.
// Without the variable the hooks do nothing.

#include <cstddef>

namespace testhook {

// Bytes written to an output file.
void Wrote(std::size_t nBytes);
// A step of a run: "template", "parse" or "write".
void Reached(const char* pszStep);

} // namespace testhook

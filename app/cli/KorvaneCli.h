#pragma once
// The command-line program as a library function, so tests can run it in
// the same process.

#include <iosfwd>
#include <string>
#include <vector>

// args excludes the program name. Exit status: 0 on success, 1 when a file
// cannot be read or written, 2 on a usage error, 3 with --strict when the
// parse stopped before the end of the data or formed no row.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

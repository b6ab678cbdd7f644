#pragma once
// Counting the lines of a joined text, for the parts of a parse that only
// need to know how far a text reaches in the template.

#include <cstddef>
#include <string_view>

// The lines of a joined text that ends with a line break (every CR is
// followed by an LF, every LF follows a CR) that hold more than white
// space.
size_t CountFilledLines(std::string_view text);

// Whether the text has at least nLines lines cut at CR LF.
bool HasLines(std::string_view text, size_t nLines);

#pragma once
// The bodies of the engine's fuzz targets, shared with the test that replays
// their seed inputs and the inputs that once made them fail. Each returns
// the empty string when all holds, else what broke.

#include <cstddef>
#include <cstdint>
#include <string>

namespace enginefuzz {

// The input of a parse case: the start tag, the end tag, the allowed
// characters, the CR/CL text and the template, each ended by a NUL byte,
// then the data up to the end.

// fuzz_parse: the matcher's values, field names and completion against the
// reference matcher's, and the columns that RunParse gives the list.
std::string RunMatcherCase(const uint8_t* pData, size_t nSize);

// fuzz_streamed_parse: the first byte chooses the size of the pieces, the
// rest is a parse case. The rows of the streamed parse, of the data as a
// text in memory and of the data written to a file, against the list that
// the whole parse fills (of the text the window loads from that file).
std::string RunStreamedParseCase(const uint8_t* pData, size_t nSize);

// fuzz_text_reader: the bytes as a file; the text read from it must be
// valid UTF-8 with CR LF line ends only.
std::string RunTextReaderCase(const uint8_t* pData, size_t nSize);

} // namespace enginefuzz

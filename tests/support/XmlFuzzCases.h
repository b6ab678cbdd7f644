#pragma once
// The bodies of the XML fuzz targets, shared with the test that replays
// their seed inputs and the inputs that once made them fail.

#include <cstddef>
#include <cstdint>
#include <string>

namespace xmlfuzz {

// Parses the bytes (up to a NUL, as SetText reads them). A text that parses
// must have records that agree with it; one that does not must leave only
// the document record and a message. Empty when all holds, else what broke.
std::string RunParseCase(const uint8_t* pData, size_t nSize);

// Sets a text taken from the input, then runs the edits that the rest of
// the input spells out, checking the records against the text after each
// one. With names drawn from XML name characters on top of a text that has
// no element, the text must also parse again into the same tree.
std::string RunEditCase(const uint8_t* pData, size_t nSize);

} // namespace xmlfuzz

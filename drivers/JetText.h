#pragma once
// Text as Jet 4 stores it: UCS-2 (UTF-16 code units, little-endian), either
// plain or in the format's compressed form, which begins with FF FE and
// then stores characters below U+0100 in one byte each, a 00 byte switching
// between one-byte and two-byte characters.

#include "framework/StringTypes.h"
#include "framework/StringUtil.h"

#include <string>

namespace jet {

// The UTF-16 code units of a UTF-8 text (U+FFFD for a byte that does not
// belong to a well-formed sequence).
using str::Utf16FromUtf8;

// The units as plain little-endian UCS-2 bytes.
CString PlainText(const std::u16string& units);

// The units in the compressed form when that is shorter than plain UCS-2
// and every unit can be stored in it (none has a low byte of 0), else plain.
CString StoredText(const std::u16string& units);

} // namespace jet

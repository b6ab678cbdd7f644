#pragma once
// Page 0 of a Jet 4 database: the format's name and version, and the
// database's settings in the area that the format hides under a fixed RC4
// key: the code page, a database key of 0 (the other pages are stored as
// they are), an empty password, the General sort order and the date of
// creation.

#include "JetPage.h"

#include <ctime>

namespace jet {

// The page for a database made at tCreated (local time).
CJetPage MakeHeaderPage(std::time_t tCreated);

// tWhen in local time as the format stores dates: days since 30 December
// 1899, the time of day as the fraction.
double ToJetDate(std::time_t tWhen);

// RC4 with a 4-byte key (stored little-endian), applied in place: the same
// call hides and reveals.
void Rc4(uint32_t nKey, uint8_t* pBytes, size_t nCount);

} // namespace jet

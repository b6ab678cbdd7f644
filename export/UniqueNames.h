#pragma once
// Names for the columns of formats that key every value by its column: the
// members of a JSON object, the columns of an SQLite table. A caption may
// stand twice in a list, and neither format may hold one name twice without
// losing a value.

#include "framework/StringTypes.h"

#include <vector>

// How two names are compared: exactly (JSON members), or with the letters
// A-Z and a-z taken as the same (SQLite column names).
enum class ENameCase { Exact, IgnoreAscii };

// The names, in their order: each as given when it stands there first; a
// name met before gets the first suffix "_2", "_3", ... that is free, among
// the names given and those already made.
std::vector<CString> MakeUniqueNames(const std::vector<CString>& names, ENameCase eCase);

#pragma once
// The walk of data lines in step with the template lines, which are used
// cyclically: a blank data line is passed over unless its template line is
// blank too, a template line without placeholders must equal its data line
// or the walk stops, and a line with placeholders captures its fields.

#include "TemplateLine.h"

#include <string>
#include <string_view>
#include <vector>

class CValueList;

// Walks the data lines (cut at CR LF) from nPos to the end of the data or,
// when nLastBreak is not npos, through the line that ends at that line
// break; j is the template line of the first of them and, after the walk,
// of the next. Without a value list the lines are only counted. Values are
// recorded at their offset in data plus nDataStart. False when a line that
// must equal its template line does not.
bool WalkLines(const std::vector<CTemplateLine>& lines, std::string_view data, size_t nPos,
               size_t nLastBreak, size_t& j, CValueList* pValues, size_t nDataStart);

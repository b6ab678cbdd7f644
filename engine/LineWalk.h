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

// What a walk saw, for the parse report. Line numbers count the lines the
// walk visited, from 1.
struct CWalkStats
{
    size_t nLines = 0;               // lines visited
    size_t nSkipped = 0;             // blank lines passed over
    size_t nLastFilled = 0;          // the last visited line that is not blank, or 0
    size_t nSkippedBeforeFilled = 0; // blank lines passed over before it
    bool bStopped = false;           // the walk stopped at nLastFilled
    size_t nStopTemplateLine = 0;    // the template line (0-based) it did not equal
    std::string_view stopText;       // the line, trimmed
    std::vector<size_t> firstMiss;   // by name index: the first line where the
                                     // field captured nothing, or 0
    size_t nOpenMisses = 0;          // names without a first miss yet
    std::vector<size_t> capturedOn;  // by name index: the last line it captured on

    // Empties the stats for a walk whose values use nNames field names.
    void Reset(size_t nNames);
};

// Walks the data lines (cut at CR LF) from nPos to the end of the data or,
// when nLastBreak is not npos, through the line that ends at that line
// break; j is the template line of the first of them and, after the walk,
// of the next. Without a value list the lines are only counted. Values are
// recorded at their offset in data plus nDataStart. False when a line that
// must equal its template line does not. With pStats (and values) the walk
// also tells what it saw.
bool WalkLines(const std::vector<CTemplateLine>& lines, std::string_view data, size_t nPos,
               size_t nLastBreak, size_t& j, CValueList* pValues, size_t nDataStart,
               CWalkStats* pStats = nullptr);

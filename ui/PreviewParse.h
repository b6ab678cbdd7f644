#pragma once
// The parse behind the live preview: a copy of the first lines of the data
// box parsed by the template box, and where in those lines each captured
// value lies. It runs on a worker thread (CPreviewWorker) and touches
// nothing but its input.

#include "engine/ParseCommand.h"
#include "framework/StringTypes.h"

#include <string_view>
#include <vector>

// What a preview parses, copied from the window's boxes.
struct CPreviewInput
{
    // Lines and bytes taken from the start of the data: enough to see the
    // template at work on a few records, small enough for every key stroke.
    static constexpr size_t kMaxLines = 500;
    static constexpr size_t kMaxBytes = size_t{256} << 10;

    CParseSettings settings;
    CString strTemplate;
    CString strData;                // the lines taken, each followed by CR LF
    std::vector<size_t> lineStarts; // where each line starts in strData

    // Appends a line (without its line end); false, with nothing appended,
    // once the line would pass kMaxLines or kMaxBytes.
    bool AddLine(std::string_view line);
};

// A captured value: its place in a line of the data, counted in UTF-16
// code units as the data box counts them.
struct CPreviewSpan
{
    int nLine = 0;   // from 0
    int nStart = 0;  // in the line
    int nLength = 0; // at least 1
    int nField = 0;  // the field's column, from 0
};

struct CPreviewMarks
{
    std::vector<CPreviewSpan> spans;
    std::vector<CString> captions; // of the fields, in column order
    int nStopLine = -1;            // the line where the walk stopped, from 0, or -1
    CString strSentence;           // the report of the preview parse in one sentence
};

// Parses the input and finds the places of its values; no marks for an
// empty template.
CPreviewMarks PreviewParse(const CPreviewInput& input);

// The number of UTF-16 code units of a UTF-8 text.
int Utf16Length(std::string_view text);

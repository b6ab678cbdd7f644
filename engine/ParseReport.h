#pragma once
// What a parse did, beside the values it found: how many data lines it
// walked, the rows and values it made, where and why the walk ended, and
// the fields that captured nothing. The window shows it in one sentence;
// the command line prints it as text or JSON.

#include "framework/StringTypes.h"

#include <cstddef>
#include <string_view>
#include <vector>

struct CWalkStats;

struct CFieldReport
{
    CString strName;           // the placeholder as the template writes it
    CString strCaption;        // its column's caption
    size_t nValues = 0;        // values it captured
    size_t nFirstMissLine = 0; // the first data line where it captured nothing, or 0
};

struct CParseReport
{
    enum class EEnd {
        EndOfData,   // the walk reached the end of the data
        Mismatch,    // a template line without placeholders did not equal its data line
        TooFewLines, // the template has more lines than the data
    };

    // Data lines are numbered from 1 in the text as loaded (its first line
    // is line 1 even when it is blank).
    size_t nLines = 0;      // the lines walked: through the last that is not blank, or the stop
    size_t nBlankLines = 0; // blank lines passed over among them
    size_t nRecords = 0;    // rows formed
    size_t nValues = 0;     // values captured
    EEnd eEnd = EEnd::EndOfData;
    size_t nStopLine = 0;             // Mismatch: the data line
    CString strStopText;              // its text, trimmed (at most kMaxLineText bytes)
    size_t nTemplateLine = 0;         // Mismatch: the template line expected (from 1)
    CString strTemplateText;          // its text, trimmed
    size_t nTemplateLines = 0;        // the template's lines
    std::vector<CFieldReport> fields; // in column order
    CString strSource;                // which texts were parsed, for the reader

    static constexpr size_t kMaxLineText = 1000;

    // The fields that captured no value at all.
    std::vector<const CFieldReport*> EmptyFields() const;
};

// Gathers a report from walks over consecutive stretches of one text.
class CReportBuilder
{
public:
    // The field names in column order with their captions, the template's
    // trimmed lines, and for each field the index of its name in the
    // matcher's name table (or -1).
    CReportBuilder(std::vector<CFieldReport> fields, std::vector<CString> templateLines,
                   std::vector<int> nameOf);

    // The next stretch: its walk, and the count of values per name index.
    void AddWalk(const CWalkStats& stats, const std::vector<size_t>& valueCounts);
    // Rows formed.
    void AddRows(size_t nRows) { m_report.nRecords += nRows; }
    // The data has fewer lines than the template: nothing was walked.
    void TooFewLines() { m_report.eEnd = CParseReport::EEnd::TooFewLines; }

    const CParseReport& Get() const { return m_report; }

private:
    CParseReport m_report;
    std::vector<CString> m_templateLines;
    std::vector<int> m_nameOf;
    size_t m_nOffset = 0;       // lines of the stretches before
    size_t m_nSkippedTotal = 0; // blank lines passed over in them
};

// One sentence for the window's status line, naming the source.
CString ReportSentence(const CParseReport& report);
// A short block of lines for a terminal.
CString ReportText(const CParseReport& report);
// One JSON object (one line), for scripts.
CString ReportJson(const CParseReport& report);

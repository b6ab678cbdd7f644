#pragma once
// The piece engine: the pieces of a text are parsed on several threads,
// each into the rows that its values close, and the rows are put in order
// and handed to a row sink on the calling thread.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

class CPieceMatcher;
class CPieceSource;
class CReportBuilder;
class CRowAssembler;
class CValueList;
struct CPieceBuffers;
struct CPieceRows;
struct CPieceText;

// Where the rows go, in order: the sink, as rows or as formatted text.
class CRowOutput
{
public:
    CRowOutput(IRowSink& sink, int nColumns)
        : m_sink(sink), m_pFormatter(sink.GetFormatter()), m_nColumns(nColumns)
    {}

    const IRowFormatter* GetFormatter() const { return m_pFormatter; }
    int GetColumnCount() const { return m_nColumns; }
    bool Row(const std::string_view* pCells);
    bool Text(std::string_view text) { return text.empty() || m_sink.AddFormattedRows(text); }
    CString GetError() const { return m_sink.GetError(); }

private:
    IRowSink& m_sink;
    const IRowFormatter* m_pFormatter;
    int m_nColumns;
    CString m_strScratch;
};

// Where a run starts: at a piece, with the template line that piece starts
// with and the row the pieces before it left open.
struct CRunStart
{
    size_t nPiece = 0;
    size_t j = 0;
    bool bOpen = false;
    std::vector<CString> openRow;
};

enum class ERunResult {
    Done,     // every piece passed on
    Failed,   // a piece could not be read, or the sink refused (strError)
    FewLines, // the text's first piece cannot tell whether it has enough lines
    NotUtf8,  // the text is not UTF-8: a run as Windows-1252 goes on from GetStop
};

class CPieceRun
{
public:
    // Reads the pieces as UTF-8 or Windows-1252 by bUtf8. With bCheckUtf8
    // the pieces are read as UTF-8 before the text has been checked: pieces
    // of plain ASCII read the same either way, and at the first other piece
    // the source is asked before that piece is passed on. The report takes
    // the walk of every piece passed on, and the rows.
    CPieceRun(const CString& strName, const CPieceMatcher& matcher,
              const std::vector<int>& columnOf, CRowOutput& output, CPieceSource& source,
              bool bUtf8, bool bCheckUtf8, CReportBuilder& report, CRunStart start);
    ~CPieceRun();
    CPieceRun(const CPieceRun&) = delete;
    CPieceRun& operator=(const CPieceRun&) = delete;

    // A sink that throws a CUserException ends the run with that exception.
    ERunResult Run(CString& strError);
    // After NotUtf8: where the run stopped.
    const CRunStart& GetStop() const { return m_stop; }

private:
    struct CSlot;

    CString FailureText(const std::exception& e) const;
    CSlot& Slot(size_t k);
    void Work();
    bool ParsePiece(size_t k, CPieceText& piece, CPieceBuffers& buffers, CValueList& values,
                    CRowAssembler& assembler, CPieceRows& rows);
    void KeepRows(CRowAssembler& assembler, const CValueList& values, CPieceRows& rows) const;
    ERunResult Merge(CString& strError);
    bool PassPiece(CPieceRows& rows);
    bool PassOpenRow();

    const CString& m_strName;
    const CPieceMatcher& m_matcher;
    const std::vector<int>& m_columnOf;
    CRowOutput& m_output;
    CPieceSource& m_source;
    const bool m_bUtf8;
    bool m_bCheckUtf8;
    CReportBuilder& m_report;
    const size_t m_nFirst;
    const size_t m_nNames;
    size_t m_nAhead = 2;

    std::mutex m_mutex;
    std::condition_variable m_cv;
    size_t m_nCount;                            // the pieces of the text, once known
    size_t m_nNext;                             // the next piece a worker takes
    size_t m_nMerged;                           // the pieces before this one are passed on
    size_t m_nStopAt = static_cast<size_t>(-1); // the piece where the run ends, once known
    bool m_bCancel = false;                     // the merge takes no more pieces
    std::deque<CSlot> m_slots;                  // from m_nBase on
    size_t m_nBase;                             // the piece of the first slot

    // The merge's own: the row the pieces passed on leave open.
    bool m_bOpen = false;
    std::vector<CString> m_openRow;
    CRunStart m_stop;
};

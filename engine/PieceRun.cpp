#include "PieceRun.h"

#include "LineWalk.h"
#include "ParseReport.h"
#include "ParseResult.h"
#include "PieceMatcher.h"
#include "PieceSource.h"
#include "RowAssembler.h"
#include "ValueList.h"
#include "framework/File.h"
#include "framework/TestHook.h"

#include <algorithm>
#include <exception>
#include <new>
#include <thread>
#include <utility>

using std::string_view;

// What one piece gives, before the pieces are put in order: the values
// that belong to the row open before it, its rows that a later value of
// the piece closes, and the cells of the row it leaves open.
struct CPieceRows
{
    bool bReady = false;
    bool bPastEnd = false;     // the text has no such piece
    bool bStopped = false;     // the walk stopped in this piece
    bool bFailed = false;      // strError says why
    bool bFewLines = false;    // the first piece is too short to apply the line-count rule
    bool bTooFewLines = false; // the whole text has fewer lines than the template
    bool bAscii = true;        // read the same as UTF-8 and as Windows-1252
    CString strError;
    std::vector<std::pair<int, CString>> prefix;
    bool bHasRow = false;
    CString strRows;                     // the closed rows, formatted
    std::unique_ptr<CString> pText;      // the piece, where the cells below refer
    std::shared_ptr<const void> pShared; // or the stream's bytes they refer to
    std::vector<string_view> cells;      // the closed rows, unformatted
    std::vector<CString> lastRow;
    size_t nRows = 0; // closed rows, formatted or not
    CWalkStats stats; // its stop text is strStopText
    CString strStopText;
    std::vector<size_t> valueCounts; // by name index
};

struct CPieceRun::CSlot
{
    size_t jStart = 0;
    bool bJKnown = false;
    CPieceRows rows;
};

namespace {

// Pieces a thread may be ahead of the one being passed on.
constexpr size_t kPiecesAheadPerThread = 8;
constexpr size_t kUnknown = static_cast<size_t>(-1);

// An exception of the sink's that ends the run as it is.
struct CSinkException
{
    std::exception_ptr pException;
};

} // namespace

bool CRowOutput::Row(const string_view* pCells)
{
    if (m_pFormatter == nullptr)
        return m_sink.AddRow(pCells, -1);
    m_strScratch.clear();
    m_pFormatter->FormatRow(m_strScratch, pCells, -1);
    return Text(m_strScratch);
}

CPieceRun::CPieceRun(const CString& strName, const CPieceMatcher& matcher,
                     const std::vector<int>& columnOf, CRowOutput& output, CPieceSource& source,
                     bool bUtf8, bool bCheckUtf8, CReportBuilder& report, CRunStart start)
    : m_strName(strName), m_matcher(matcher), m_columnOf(columnOf), m_output(output),
      m_source(source), m_bUtf8(bUtf8), m_bCheckUtf8(bCheckUtf8), m_report(report),
      m_nFirst(start.nPiece),
      m_nNames(static_cast<size_t>(matcher.GetNames().m_listValues.GetNameCount())),
      m_nCount(source.GetCount()), m_nNext(start.nPiece), m_nMerged(start.nPiece),
      m_nBase(start.nPiece), m_bOpen(start.bOpen), m_openRow(std::move(start.openRow))
{
    CSlot& first = Slot(m_nFirst);
    first.jStart = start.j;
    first.bJKnown = true;
}

CPieceRun::~CPieceRun() = default;

CString CPieceRun::FailureText(const std::exception& e) const
{
    const CString strWhat = m_strName.empty() ? CString("the data") : "\"" + m_strName + "\"";
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        return "out of memory while parsing " + strWhat;
    return "Cannot parse " + strWhat + ": " + e.what();
}

// The slot of piece k; the caller holds the lock.
CPieceRun::CSlot& CPieceRun::Slot(size_t k)
{
    while (m_slots.size() <= k - m_nBase)
        m_slots.emplace_back();
    return m_slots[k - m_nBase];
}

ERunResult CPieceRun::Run(CString& strError)
{
    const size_t nThreads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    m_nAhead = kPiecesAheadPerThread * nThreads;
    std::vector<std::thread> workers;
    ERunResult result = ERunResult::Failed;
    std::exception_ptr pSinkException;
    try {
        const size_t nLeft = m_nCount == kUnknown ? nThreads : m_nCount - m_nFirst;
        for (size_t i = 0; i < std::min(nThreads, nLeft); ++i)
            workers.emplace_back([this]() { Work(); });
        result = Merge(strError);
    } catch (const CSinkException& e) {
        pSinkException = e.pException;
    } catch (const std::exception& e) {
        // Out of memory or threads: the workers are stopped below.
        strError = FailureText(e);
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bCancel = true;
    }
    m_cv.notify_all();
    // A worker that waits for bytes of a stream that may never come (the
    // writer of a pipe that stays open) gives up.
    m_source.GiveUpWaits(true);
    for (std::thread& worker : workers)
        worker.join();
    m_source.GiveUpWaits(false);
    if (pSinkException)
        std::rethrow_exception(pSinkException);
    return result;
}

// Takes pieces in order, parses them and publishes, as early as it can,
// the template line the next piece starts with.
void CPieceRun::Work()
{
    CPieceText piece;
    CPieceBuffers buffers;
    CValueList values;
    CRowAssembler assembler(m_columnOf, m_output.GetColumnCount());
    for (;;) {
        size_t k = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [&]() {
                return m_bCancel || m_nNext >= m_nCount || m_nNext < m_nMerged + m_nAhead;
            });
            if (m_bCancel || m_nNext >= m_nCount || m_nNext > m_nStopAt)
                return;
            k = m_nNext++;
            Slot(k);
        }
        CPieceRows rows;
        try {
            if (!ParsePiece(k, piece, buffers, values, assembler, rows))
                return;
        } catch (const std::exception& e) {
            rows = CPieceRows();
            rows.bFailed = true;
            rows.strError = FailureText(e);
        }
        const bool bEnds = rows.bFailed || rows.bFewLines || rows.bStopped || rows.bPastEnd;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (bEnds)
                m_nStopAt = std::min(m_nStopAt, k);
            if (rows.bPastEnd)
                m_nCount = std::min(m_nCount, k);
            CSlot& slot = Slot(k);
            slot.rows = std::move(rows);
            slot.rows.bReady = true;
        }
        m_cv.notify_all();
    }
}

// False when the run no longer needs the piece.
bool CPieceRun::ParsePiece(size_t k, CPieceText& piece, CPieceBuffers& buffers, CValueList& values,
                           CRowAssembler& assembler, CPieceRows& rows)
{
    testhook::Reached("parse");
    if (!m_source.Read(k, m_bUtf8, piece, buffers, rows.strError)) {
        rows.bFailed = true;
        return true;
    }
    if (piece.bPastEnd) {
        rows.bPastEnd = true;
        return true;
    }
    rows.bAscii = piece.bAscii;
    string_view text = piece.text;
    if (m_output.GetFormatter() == nullptr && !piece.strOwned.empty()) {
        // The rows are passed on as cells of the piece, which must live
        // until then.
        const auto nStart = static_cast<size_t>(text.data() - piece.strOwned.data());
        rows.pText = std::make_unique<CString>(std::move(piece.strOwned));
        text = string_view(*rows.pText).substr(nStart, text.size());
    }
    rows.pShared = piece.pShared;
    const bool bLast = piece.bLast;
    if (bLast) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_nCount = std::min(m_nCount, k + 1);
    }
    if (k == 0 && !m_matcher.HasEnoughLines(text)) {
        // With fewer data lines than template lines nothing is recorded.
        rows.bFewLines = !bLast;
        rows.bTooFewLines = bLast;
        return true;
    }
    size_t j = 0;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&]() { return m_bCancel || k > m_nStopAt || Slot(k).bJKnown; });
        if (!Slot(k).bJKnown)
            return false;
        j = Slot(k).jStart;
    }
    if (!bLast) {
        const size_t jNext = m_matcher.Skip(text, j);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            CSlot& next = Slot(k + 1);
            next.jStart = jNext;
            next.bJKnown = true;
        }
        m_cv.notify_all();
    }
    values.ClearValues();
    values.BorrowSource(text);
    rows.stats.Reset(m_nNames);
    rows.bStopped = !m_matcher.Match(text, j, bLast, values, &rows.stats);
    // The piece's text may be read again for the next piece before the
    // report takes the stop: it gets a copy.
    rows.strStopText.assign(rows.stats.stopText.substr(0, CParseReport::kMaxLineText));
    rows.stats.stopText = {};
    rows.valueCounts.assign(m_nNames, 0);
    for (size_t i = 0; i < values.size(); ++i)
        ++rows.valueCounts[static_cast<size_t>(values.NameIndexAt(i))];
    KeepRows(assembler, values, rows);
    return true;
}

// The rows of the piece's values, formatted where the sink can take text.
void CPieceRun::KeepRows(CRowAssembler& assembler, const CValueList& values, CPieceRows& rows) const
{
    assembler.Reset();
    const int nColumns = assembler.GetColumnCount();
    if (const IRowFormatter* pFormatter = m_output.GetFormatter()) {
        rows.strRows.reserve(values.GetSource().size());
        assembler.Add(values, [&](const string_view* pCells) {
            pFormatter->FormatRow(rows.strRows, pCells, -1);
            ++rows.nRows;
        });
    } else {
        assembler.Add(values, [&](const string_view* pCells) {
            rows.cells.insert(rows.cells.end(), pCells, pCells + nColumns);
            ++rows.nRows;
        });
    }
    for (const auto& [nCol, value] : assembler.GetPrefix())
        rows.prefix.emplace_back(nCol, CString(value));
    rows.bHasRow = assembler.HasOpenRow();
    if (rows.bHasRow)
        rows.lastRow.assign(assembler.GetOpenRow().begin(), assembler.GetOpenRow().end());
}

bool CPieceRun::PassOpenRow()
{
    const std::vector<string_view> cells(m_openRow.begin(), m_openRow.end());
    if (!m_output.Row(cells.data()))
        return false;
    m_report.AddRows(1);
    return true;
}

// Passes on what a piece closes: the row open before it, then its own.
bool CPieceRun::PassPiece(CPieceRows& rows)
{
    if (m_bOpen) {
        for (auto& [nCol, strValue] : rows.prefix)
            m_openRow[static_cast<size_t>(nCol)] = std::move(strValue);
    }
    if (!rows.bHasRow)
        return true;
    if (m_bOpen && !PassOpenRow())
        return false;
    m_report.AddRows(rows.nRows);
    if (m_output.GetFormatter() != nullptr) {
        if (!m_output.Text(rows.strRows))
            return false;
    } else {
        const auto nColumns = static_cast<size_t>(m_output.GetColumnCount());
        for (size_t i = 0; i + nColumns <= rows.cells.size() && nColumns > 0; i += nColumns) {
            if (!m_output.Row(rows.cells.data() + i))
                return false;
        }
    }
    m_openRow = std::move(rows.lastRow);
    m_bOpen = true;
    return true;
}

// Puts the pieces' rows in order and hands them on.
ERunResult CPieceRun::Merge(CString& strError)
{
    const auto pass = [&](const auto& step) {
        try {
            testhook::Reached("write");
            return step();
        } catch (const CUserException&) {
            throw CSinkException{std::current_exception()};
        } catch (const std::bad_alloc&) {
            throw CSinkException{std::current_exception()};
        }
    };
    for (size_t k = m_nFirst;; ++k) {
        CPieceRows rows;
        size_t jStart = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [&]() { return k >= m_nCount || Slot(k).rows.bReady; });
            if (k >= m_nCount)
                break;
            rows = std::move(Slot(k).rows);
            jStart = Slot(k).jStart;
        }
        if (!rows.bAscii && m_bCheckUtf8) {
            CString strCheckError;
            const bool bUtf8 = m_source.IsUtf8Text(strCheckError);
            if (!strCheckError.empty()) {
                strError = strCheckError;
                return ERunResult::Failed;
            }
            if (!bUtf8) {
                m_stop = CRunStart{k, jStart, m_bOpen, m_openRow};
                return ERunResult::NotUtf8;
            }
            m_bCheckUtf8 = false;
        }
        if (rows.bFailed) {
            strError = rows.strError;
            return ERunResult::Failed;
        }
        if (rows.bFewLines)
            return ERunResult::FewLines;
        if (rows.bTooFewLines)
            m_report.TooFewLines();
        rows.stats.stopText = rows.strStopText;
        m_report.AddWalk(rows.stats, rows.valueCounts);
        if (!pass([&]() { return PassPiece(rows); })) {
            strError = m_output.GetError();
            return ERunResult::Failed;
        }
        if (rows.bStopped)
            break;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_nMerged = k + 1;
            // The slot is done with; the deque keeps the others in place.
            m_slots.pop_front();
            ++m_nBase;
        }
        m_source.Release(k);
        m_cv.notify_all();
    }
    if (m_bOpen && !pass([&]() { return PassOpenRow(); })) {
        strError = m_output.GetError();
        return ERunResult::Failed;
    }
    return ERunResult::Done;
}

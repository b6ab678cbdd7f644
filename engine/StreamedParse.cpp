#include "StreamedParse.h"

#include "ParseResult.h"
#include "PieceMatcher.h"
#include "TemplateMatcher.h"
#include "TextFileReader.h"
#include "framework/ListCtrl.h"
#include "framework/StringUtil.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

using std::string_view;

// Pieces a thread may be ahead of the one being written.
constexpr size_t kPiecesAheadPerThread = 8;

// A thread's buffers for reading pieces.
struct CPieceBuffers
{
    std::vector<char> block = std::vector<char>(size_t{64} << 10);
    CString strRaw;
};

// Where the pieces come from: byte ranges of a file without a byte-order
// mark, each cut just after a line end, or one text read whole.
class CPieceSource
{
public:
    // A file whose encoding the reader has settled.
    CPieceSource(CTextFileReader& reader, std::uint64_t nPieceSize)
        : m_pReader(&reader), m_nPieceSize(std::max<std::uint64_t>(nPieceSize, 1))
    {
        m_nLength = reader.GetLength();
        m_nCount = static_cast<size_t>(
            std::max<std::uint64_t>(1, (m_nLength + m_nPieceSize - 1) / m_nPieceSize));
    }
    explicit CPieceSource(CString strWhole) : m_strWhole(std::move(strWhole)) {}

    size_t GetCount() const { return m_nCount; }

    // The joined text of piece k, with the closing CR LF after the last.
    bool Read(size_t k, bool bUtf8, CString& strText, CPieceBuffers& buffers, bool& bAscii,
              CString& strError)
    {
        bAscii = true;
        if (m_pReader == nullptr) {
            strText.swap(m_strWhole);
            return true;
        }
        const std::uint64_t nStart = PieceStart(k * m_nPieceSize, buffers, strError);
        const std::uint64_t nEnd =
            k + 1 == m_nCount ? m_nLength : PieceStart((k + 1) * m_nPieceSize, buffers, strError);
        if (!strError.empty() ||
            !m_pReader->ReadJoinedRange(nStart, nEnd, bUtf8, buffers.strRaw, strText, bAscii,
                                        strError))
            return false;
        if (k + 1 == m_nCount)
            strText.append("\r\n");
        return true;
    }

private:
    // Where the piece that starts at or after nNominal begins. A line longer
    // than a piece holds the nominal starts of several pieces, which all
    // begin after it: the last such line is remembered, so that it is
    // searched once and not once per piece.
    std::uint64_t PieceStart(std::uint64_t nNominal, CPieceBuffers& buffers, CString& strError)
    {
        {
            const std::lock_guard<std::mutex> lock(m_longLineMutex);
            if (nNominal >= m_nLongLineFrom && nNominal < m_nLongLineEnd)
                return m_nLongLineEnd;
        }
        const std::uint64_t nStart = m_pReader->FindPieceStart(nNominal, buffers.block, strError);
        if (strError.empty() && nStart - nNominal > m_nPieceSize) {
            const std::lock_guard<std::mutex> lock(m_longLineMutex);
            m_nLongLineFrom = nNominal;
            m_nLongLineEnd = nStart;
        }
        return nStart;
    }

    CTextFileReader* m_pReader = nullptr;
    std::uint64_t m_nPieceSize = 1;
    std::uint64_t m_nLength = 0;
    size_t m_nCount = 1;
    CString m_strWhole;
    std::mutex m_longLineMutex;
    // Every nominal start in [m_nLongLineFrom, m_nLongLineEnd) gives
    // m_nLongLineEnd.
    std::uint64_t m_nLongLineFrom = 0;
    std::uint64_t m_nLongLineEnd = 0;
};

// What one piece gives, before the pieces are put in order: the values
// that belong to the row open before it, the text of the rows that start
// and end in it, and the cells of the row it leaves open.
struct CPieceRows
{
    bool bReady = false;
    bool bStopped = false;  // the walk stopped in this piece
    bool bFailed = false;   // strError says why
    bool bFewLines = false; // the first piece is too short to apply the line-count rule
    bool bAscii = true;     // read the same as UTF-8 and as Windows-1252
    CString strError;
    std::vector<std::pair<int, CString>> prefix;
    bool bHasRow = false;
    CString strRows;
    std::vector<CString> lastRow;
};

enum class ERunResult { Done, Failed, FewLines, NotUtf8 };

class CPieceRun
{
public:
    // Reads the pieces as UTF-8 or Windows-1252 by bUtf8. With pCheck the
    // pieces are read as UTF-8 before the file has been checked: pieces of
    // plain ASCII read the same either way, and at the first other piece
    // the file is checked before that piece is written.
    CPieceRun(const CString& strPath, const CPieceMatcher& matcher, std::vector<int> columnOf,
              int nColumns, const CStreamedParse::FFormatRow& format, CPieceSource& source,
              bool bUtf8, CTextFileReader* pCheck)
        : m_strPath(strPath), m_matcher(matcher), m_columnOf(std::move(columnOf)),
          m_nColumns(nColumns), m_format(format), m_source(source), m_bUtf8(bUtf8),
          m_pCheck(pCheck), m_nCount(source.GetCount()), m_jStart(m_nCount, 0),
          m_bJKnown(m_nCount, 0), m_pieces(m_nCount)
    {
        m_bJKnown[0] = 1;
    }

    ERunResult Run(const CStreamedParse::FWrite& write, CString& strError)
    {
        const size_t nThreads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
        m_nAhead = kPiecesAheadPerThread * nThreads;
        std::vector<std::thread> workers;
        ERunResult result = ERunResult::Failed;
        try {
            for (size_t i = 0; i < std::min(nThreads, m_nCount); ++i)
                workers.emplace_back([this]() { Work(); });
            result = Merge(write, strError);
        } catch (const std::exception& e) {
            // Out of memory or threads: the workers are stopped below.
            strError = FailureText(e);
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bCancel = true;
        }
        m_cv.notify_all();
        for (std::thread& worker : workers)
            worker.join();
        return result;
    }

private:
    CString FailureText(const std::exception& e) const
    {
        return "Cannot parse \"" + m_strPath + "\": " + e.what();
    }

    // Takes pieces in order, parses them and publishes, as early as it can,
    // the template line the next piece starts with.
    void Work()
    {
        CString strText;
        CPieceBuffers buffers;
        CValueList values;
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
            }
            CPieceRows rows;
            try {
                if (!ParsePiece(k, strText, buffers, values, rows))
                    return;
            } catch (const std::exception& e) {
                rows = CPieceRows();
                rows.bFailed = true;
                rows.strError = FailureText(e);
            }
            const bool bEnds = rows.bFailed || rows.bFewLines || rows.bStopped;
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                if (bEnds)
                    m_nStopAt = std::min(m_nStopAt, k);
                m_pieces[k] = std::move(rows);
                m_pieces[k].bReady = true;
            }
            m_cv.notify_all();
        }
    }

    // False when the run no longer needs the piece.
    bool ParsePiece(size_t k, CString& strText, CPieceBuffers& buffers, CValueList& values,
                    CPieceRows& rows)
    {
        if (!m_source.Read(k, m_bUtf8, strText, buffers, rows.bAscii, rows.strError)) {
            rows.bFailed = true;
            return true;
        }
        const bool bLast = k + 1 == m_nCount;
        if (k == 0 && !m_matcher.HasEnoughLines(strText)) {
            // With fewer data lines than template lines nothing is recorded.
            rows.bFewLines = !bLast;
            return true;
        }
        size_t j = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait(lock, [&]() { return m_bCancel || k > m_nStopAt || m_bJKnown[k] != 0; });
            if (m_bJKnown[k] == 0)
                return false;
            j = m_jStart[k];
        }
        if (!bLast) {
            const size_t jNext = m_matcher.Skip(strText, j);
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_jStart[k + 1] = jNext;
                m_bJKnown[k + 1] = 1;
            }
            m_cv.notify_all();
        }
        values.ClearValues();
        values.SetSource(std::move(strText));
        rows.bStopped = !m_matcher.Match(values.GetSource(), j, bLast, values);
        BuildRows(values, rows);
        values.SwapSource(strText);
        return true;
    }

    // As the list is filled: a value of the first column starts a row, any
    // other value sets its cell in the current row.
    void BuildRows(const CValueList& values, CPieceRows& rows) const
    {
        std::vector<string_view> cells(static_cast<size_t>(m_nColumns));
        rows.strRows.reserve(values.GetSource().size());
        for (size_t i = 0; i < values.size(); ++i) {
            const int nCol = m_columnOf[static_cast<size_t>(values.NameIndexAt(i))];
            if (nCol == 0) {
                if (rows.bHasRow)
                    m_format(rows.strRows, cells.data());
                std::fill(cells.begin(), cells.end(), string_view());
                cells[0] = values.ValueAt(i);
                rows.bHasRow = true;
            } else if (nCol > 0) {
                if (rows.bHasRow)
                    cells[static_cast<size_t>(nCol)] = values.ValueAt(i);
                else
                    rows.prefix.emplace_back(nCol, CString(values.ValueAt(i)));
            }
        }
        if (rows.bHasRow)
            rows.lastRow.assign(cells.begin(), cells.end());
    }

    // Puts the pieces' rows in order and hands them on.
    ERunResult Merge(const CStreamedParse::FWrite& write, CString& strError)
    {
        std::vector<CString> openRow;
        bool bOpen = false;
        CString strOpenText;
        const auto writeOpenRow = [&]() {
            const std::vector<string_view> cells(openRow.begin(), openRow.end());
            strOpenText.clear();
            m_format(strOpenText, cells.data());
            return write(strOpenText);
        };
        for (size_t k = 0; k < m_nCount; ++k) {
            CPieceRows rows;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_cv.wait(lock, [&]() { return m_pieces[k].bReady; });
                rows = std::move(m_pieces[k]);
            }
            if (!rows.bAscii && m_pCheck != nullptr) {
                const bool bUtf8 = m_pCheck->IsUtf8Text();
                if (!m_pCheck->GetError().empty()) {
                    strError = m_pCheck->GetError();
                    return ERunResult::Failed;
                }
                if (!bUtf8)
                    return ERunResult::NotUtf8;
                m_pCheck = nullptr;
            }
            if (rows.bFailed) {
                strError = rows.strError;
                return ERunResult::Failed;
            }
            if (rows.bFewLines)
                return ERunResult::FewLines;
            if (bOpen) {
                for (auto& [nCol, strValue] : rows.prefix)
                    openRow[static_cast<size_t>(nCol)] = std::move(strValue);
            }
            if (rows.bHasRow) {
                if (bOpen && !writeOpenRow())
                    return ERunResult::Failed;
                if (!write(rows.strRows))
                    return ERunResult::Failed;
                openRow = std::move(rows.lastRow);
                bOpen = true;
            }
            if (rows.bStopped)
                break;
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_nMerged = k + 1;
            }
            m_cv.notify_all();
        }
        if (bOpen && !writeOpenRow())
            return ERunResult::Failed;
        return ERunResult::Done;
    }

    const CString& m_strPath;
    const CPieceMatcher& m_matcher;
    const std::vector<int> m_columnOf;
    const int m_nColumns;
    const CStreamedParse::FFormatRow& m_format;
    CPieceSource& m_source;
    const bool m_bUtf8;
    CTextFileReader* m_pCheck;
    const size_t m_nCount;
    size_t m_nAhead = 2;

    std::mutex m_mutex;
    std::condition_variable m_cv;
    size_t m_nNext = 0;
    size_t m_nMerged = 0;
    size_t m_nStopAt = static_cast<size_t>(-1); // the piece where the run ends, once known
    bool m_bCancel = false;                     // the merge takes no more pieces
    std::vector<size_t> m_jStart;
    std::vector<char> m_bJKnown;
    std::vector<CPieceRows> m_pieces;
};

} // namespace

CStreamedParse::CStreamedParse(const CParseSettings& settings, const CString& strTemplate)
    : m_settings(settings), m_strTemplate(strTemplate)
{
    CListCtrl list;
    InitResultList(list);
    FillColumns(list);
    m_nColumns = list.GetColumnCount();
}

void CStreamedParse::FillColumns(CListCtrl& list) const
{
    CParseResult result;
    result.CollectFieldNames(str::Trim(m_strTemplate), LineBreakFromCrCl(m_settings.strCrCl),
                             m_settings.strStartTag, m_settings.strEndTag);
    result.FillList(list, !m_strTemplate.empty(), m_settings.strStartTag, m_settings.strEndTag);
}

bool CStreamedParse::Run(const CString& strDataPath, const FFormatRow& format, const FWrite& write,
                         CString& strError) const
{
    strError.clear();
    CTemplateMatcher templateMatcher;
    templateMatcher.SetSettings(m_settings.strStartTag, m_settings.strEndTag,
                                m_settings.strAllowedChars);
    const CPieceMatcher matcher(templateMatcher, m_strTemplate,
                                LineBreakFromCrCl(m_settings.strCrCl));
    // The column of each field name, as the list would find it.
    std::vector<int> columnOf = matcher.GetNames().ColumnsOfNames();
    for (int& nCol : columnOf)
        nCol = nCol < m_nColumns ? nCol : -1;

    CTextFileReader reader(strDataPath);
    const auto readWhole = [&](CString& strText) {
        if (!reader.ReadAll(strText, "\r\n")) {
            strError = reader.GetError();
            return false;
        }
        strText.append("\r\n");
        return true;
    };
    if (!reader.IsOpen() || !reader.GetError().empty()) {
        strError = reader.GetError();
        return false;
    }
    ERunResult result = ERunResult::FewLines;
    // A file whose size reads as 0 may still have text (as those of /proc
    // do): it is read to its end as one text.
    if (reader.GetEncoding() == CTextFileReader::ANSI && reader.GetLength() > 0) {
        // The file is taken as UTF-8 until a piece that is not plain ASCII
        // has it checked. When the check fails, the run starts again as
        // Windows-1252 and drops the text it has already passed on, which
        // reads the same.
        CPieceSource source(reader, m_nPieceSize);
        size_t nWritten = 0;
        const FWrite counted = [&](string_view text) {
            nWritten += text.size();
            return write(text);
        };
        result =
            CPieceRun(strDataPath, matcher, columnOf, m_nColumns, format, source, true, &reader)
                .Run(counted, strError);
        if (result == ERunResult::NotUtf8) {
            size_t nSkip = nWritten;
            const FWrite rest = [&](string_view text) {
                const size_t nDrop = std::min(nSkip, text.size());
                nSkip -= nDrop;
                text.remove_prefix(nDrop);
                return text.empty() || write(text);
            };
            result = CPieceRun(strDataPath, matcher, columnOf, m_nColumns, format, source, false,
                               nullptr)
                         .Run(rest, strError);
        }
    }
    if (result == ERunResult::FewLines) {
        // A file with a byte-order mark, or one whose first piece cannot
        // tell whether it has enough lines, is parsed as one text.
        CString strWhole;
        if (!readWhole(strWhole))
            return false;
        CPieceSource source(std::move(strWhole));
        result =
            CPieceRun(strDataPath, matcher, columnOf, m_nColumns, format, source, true, nullptr)
                .Run(write, strError);
    }
    return result == ERunResult::Done;
}

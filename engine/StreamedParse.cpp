#include "StreamedParse.h"

#include "ParseResult.h"
#include "PieceMatcher.h"
#include "PieceSource.h"
#include "RowAssembler.h"
#include "TemplateMatcher.h"
#include "TextFileReader.h"
#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
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

// Pieces a thread may be ahead of the one being passed on.
constexpr size_t kPiecesAheadPerThread = 8;

// What one piece gives, before the pieces are put in order: the values
// that belong to the row open before it, its rows that a later value of
// the piece closes, and the cells of the row it leaves open.
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
    CString strRows;                // the closed rows, formatted
    std::unique_ptr<CString> pText; // the piece, where the cells below refer
    std::vector<string_view> cells; // the closed rows, unformatted
    std::vector<CString> lastRow;
};

enum class ERunResult { Done, Failed, FewLines, NotUtf8 };

// Where the rows go, in order: the sink, as rows or as formatted text.
// After a restart the rows (or bytes) already passed on are passed over.
class CRowOutput
{
public:
    CRowOutput(IRowSink& sink, int nColumns)
        : m_sink(sink), m_pFormatter(sink.GetFormatter()), m_nColumns(nColumns)
    {}

    const IRowFormatter* GetFormatter() const { return m_pFormatter; }
    int GetColumnCount() const { return m_nColumns; }

    bool Row(const string_view* pCells)
    {
        if (m_pFormatter != nullptr) {
            m_strScratch.clear();
            m_pFormatter->FormatRow(m_strScratch, pCells, -1);
            return Text(m_strScratch);
        }
        if (m_nSkip > 0) {
            --m_nSkip;
            return true;
        }
        ++m_nPassed;
        return m_sink.AddRow(pCells, -1);
    }

    bool Text(string_view text)
    {
        const size_t nDrop = std::min<size_t>(m_nSkip, text.size());
        m_nSkip -= nDrop;
        text.remove_prefix(nDrop);
        m_nPassed += text.size();
        return text.empty() || m_sink.AddFormattedRows(text);
    }

    // The next run starts from the beginning again and reads the same up
    // to where this one got.
    void Restart()
    {
        m_nSkip = m_nPassed;
        m_nPassed = 0;
    }

    CString GetError() const { return m_sink.GetError(); }

private:
    IRowSink& m_sink;
    const IRowFormatter* m_pFormatter;
    int m_nColumns;
    size_t m_nSkip = 0;   // rows, or bytes of formatted rows
    size_t m_nPassed = 0; // the same, passed on in this run
    CString m_strScratch;
};

// An exception of the sink's that ends the run as it is.
struct CSinkException
{
    std::exception_ptr pException;
};

class CPieceRun
{
public:
    // Reads the pieces as UTF-8 or Windows-1252 by bUtf8. With pCheck the
    // pieces are read as UTF-8 before the file has been checked: pieces of
    // plain ASCII read the same either way, and at the first other piece
    // the file is checked before that piece is passed on.
    CPieceRun(const CString& strName, const CPieceMatcher& matcher,
              const std::vector<int>& columnOf, CRowOutput& output, CPieceSource& source,
              bool bUtf8, CTextFileReader* pCheck)
        : m_strName(strName), m_matcher(matcher), m_columnOf(columnOf), m_output(output),
          m_source(source), m_bUtf8(bUtf8), m_pCheck(pCheck), m_nCount(source.GetCount()),
          m_jStart(m_nCount, 0), m_bJKnown(m_nCount, 0), m_pieces(m_nCount)
    {
        m_bJKnown[0] = 1;
    }

    ERunResult Run(CString& strError, bool& bStopped);

private:
    CString FailureText(const std::exception& e) const
    {
        if (m_strName.empty())
            return CString("Cannot parse the data: ") + e.what();
        return "Cannot parse \"" + m_strName + "\": " + e.what();
    }
    void Work();
    bool ParsePiece(size_t k, CPieceText& piece, CPieceBuffers& buffers, CValueList& values,
                    CRowAssembler& assembler, CPieceRows& rows);
    void KeepRows(CRowAssembler& assembler, const CValueList& values, CPieceRows& rows) const;
    ERunResult Merge(CString& strError, bool& bStopped);
    bool PassPiece(CPieceRows& rows, std::vector<CString>& openRow, bool& bOpen);

    const CString& m_strName;
    const CPieceMatcher& m_matcher;
    const std::vector<int>& m_columnOf;
    CRowOutput& m_output;
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

ERunResult CPieceRun::Run(CString& strError, bool& bStopped)
{
    const size_t nThreads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    m_nAhead = kPiecesAheadPerThread * nThreads;
    std::vector<std::thread> workers;
    ERunResult result = ERunResult::Failed;
    std::exception_ptr pSinkException;
    try {
        for (size_t i = 0; i < std::min(nThreads, m_nCount); ++i)
            workers.emplace_back([this]() { Work(); });
        result = Merge(strError, bStopped);
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
    for (std::thread& worker : workers)
        worker.join();
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
bool CPieceRun::ParsePiece(size_t k, CPieceText& piece, CPieceBuffers& buffers, CValueList& values,
                           CRowAssembler& assembler, CPieceRows& rows)
{
    if (!m_source.Read(k, m_bUtf8, piece, buffers, rows.strError)) {
        rows.bFailed = true;
        return true;
    }
    rows.bAscii = piece.bAscii;
    string_view text = piece.text;
    if (m_output.GetFormatter() == nullptr && !piece.strOwned.empty()) {
        // The rows are passed on as cells of the piece, which must live
        // until then.
        rows.pText = std::make_unique<CString>(std::move(piece.strOwned));
        text = *rows.pText;
    }
    const bool bLast = k + 1 == m_nCount;
    if (k == 0 && !m_matcher.HasEnoughLines(text)) {
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
        const size_t jNext = m_matcher.Skip(text, j);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_jStart[k + 1] = jNext;
            m_bJKnown[k + 1] = 1;
        }
        m_cv.notify_all();
    }
    values.ClearValues();
    values.BorrowSource(text);
    rows.bStopped = !m_matcher.Match(text, j, bLast, values);
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
        });
    } else {
        assembler.Add(values, [&](const string_view* pCells) {
            rows.cells.insert(rows.cells.end(), pCells, pCells + nColumns);
        });
    }
    for (const auto& [nCol, value] : assembler.GetPrefix())
        rows.prefix.emplace_back(nCol, CString(value));
    rows.bHasRow = assembler.HasOpenRow();
    if (rows.bHasRow)
        rows.lastRow.assign(assembler.GetOpenRow().begin(), assembler.GetOpenRow().end());
}

// Passes on what a piece closes: the row open before it, then its own.
bool CPieceRun::PassPiece(CPieceRows& rows, std::vector<CString>& openRow, bool& bOpen)
{
    if (bOpen) {
        for (auto& [nCol, strValue] : rows.prefix)
            openRow[static_cast<size_t>(nCol)] = std::move(strValue);
    }
    if (!rows.bHasRow)
        return true;
    if (bOpen) {
        const std::vector<string_view> cells(openRow.begin(), openRow.end());
        if (!m_output.Row(cells.data()))
            return false;
    }
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
    openRow = std::move(rows.lastRow);
    bOpen = true;
    return true;
}

// Puts the pieces' rows in order and hands them on.
ERunResult CPieceRun::Merge(CString& strError, bool& bStopped)
{
    std::vector<CString> openRow;
    bool bOpen = false;
    const auto pass = [&](CPieceRows& rows) {
        try {
            return PassPiece(rows, openRow, bOpen);
        } catch (const CUserException&) {
            throw CSinkException{std::current_exception()};
        }
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
        if (!pass(rows)) {
            strError = m_output.GetError();
            return ERunResult::Failed;
        }
        if (rows.bStopped) {
            bStopped = true;
            break;
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_nMerged = k + 1;
        }
        m_cv.notify_all();
    }
    if (bOpen) {
        const std::vector<string_view> cells(openRow.begin(), openRow.end());
        try {
            if (!m_output.Row(cells.data())) {
                strError = m_output.GetError();
                return ERunResult::Failed;
            }
        } catch (const CUserException&) {
            throw CSinkException{std::current_exception()};
        }
    }
    return ERunResult::Done;
}

// The rows of a run as text, for callers that take text.
class CFunctionSink final : public IRowSink, public IRowFormatter
{
public:
    CFunctionSink(const CStreamedParse::FFormatRow& format, const CStreamedParse::FWrite& write)
        : m_format(format), m_write(write)
    {}
    bool BeginRows(const std::vector<CTableColumn>& /*columns*/) override { return true; }
    bool AddRow(const string_view* pCells, int nImage) override
    {
        CString strText;
        FormatRow(strText, pCells, nImage);
        return m_write(strText);
    }
    bool EndRows() override { return true; }
    const IRowFormatter* GetFormatter() const override { return this; }
    bool AddFormattedRows(string_view text) override { return m_write(text); }
    void FormatRow(CString& strOut, const string_view* pCells, int /*nImage*/) const override
    {
        m_format(strOut, pCells);
    }

private:
    const CStreamedParse::FFormatRow& m_format;
    const CStreamedParse::FWrite& m_write;
};

// The matcher of a run and the column of each of its field names.
struct CRunPlan
{
    CTemplateMatcher settings;
    std::unique_ptr<CPieceMatcher> pMatcher;
    std::vector<int> columnOf;
};

CRunPlan MakePlan(const CParseSettings& settings, const CString& strTemplate)
{
    CRunPlan plan;
    plan.settings.SetSettings(settings.strStartTag, settings.strEndTag, settings.strAllowedChars);
    plan.pMatcher = std::make_unique<CPieceMatcher>(plan.settings, strTemplate,
                                                    LineBreakFromCrCl(settings.strCrCl));
    plan.columnOf = plan.pMatcher->GetNames().ColumnsOfNames();
    return plan;
}

// Whether an LF of the text follows no CR. Such an LF is inside a line for
// the matcher, which cuts lines at CR LF only.
bool HasLoneLf(string_view text)
{
    for (size_t nAt = text.find('\n'); nAt != string_view::npos; nAt = text.find('\n', nAt + 1)) {
        if (nAt == 0 || text[nAt - 1] != '\r')
            return true;
    }
    return false;
}

} // namespace

CStreamedParse::CStreamedParse(const CParseSettings& settings, const CString& strTemplate)
    : m_settings(settings), m_strTemplate(strTemplate),
      m_columns(FreshListColumns(settings, strTemplate))
{}

void CStreamedParse::FillColumns(CListCtrl& list) const
{
    if (m_strTemplate.empty())
        return;
    while (list.GetColumnCount() > 0)
        list.DeleteColumn(0);
    for (size_t j = 0; j < m_columns.size(); ++j)
        list.InsertColumn(static_cast<int>(j), m_columns[j].strCaption, LVCFMT_LEFT,
                          m_columns[j].nWidth, -1);
}

bool CStreamedParse::Run(const CString& strDataPath, IRowSink& sink, CString& strError,
                         bool* pComplete) const
{
    strError.clear();
    CTextFileReader reader(strDataPath);
    if (!reader.IsOpen() || !reader.GetError().empty()) {
        strError = reader.GetError();
        return false;
    }
    if (!sink.BeginRows(m_columns)) {
        strError = sink.GetError();
        return false;
    }
    const CRunPlan plan = MakePlan(m_settings, m_strTemplate);
    CRowOutput output(sink, GetColumnCount());
    bool bStopped = false;
    ERunResult result = ERunResult::FewLines;
    // A file whose size reads as 0 may still have text (as those of /proc
    // do): it is read to its end as one text.
    if (reader.GetEncoding() == CTextFileReader::ANSI && reader.GetLength() > 0) {
        // The file is taken as UTF-8 until a piece that is not plain ASCII
        // has it checked. When the check fails, the run starts again as
        // Windows-1252 and passes over the rows it has already passed on,
        // which read the same.
        CPieceSource source(reader, m_nPieceSize);
        result =
            CPieceRun(strDataPath, *plan.pMatcher, plan.columnOf, output, source, true, &reader)
                .Run(strError, bStopped);
        if (result == ERunResult::NotUtf8) {
            output.Restart();
            result = CPieceRun(strDataPath, *plan.pMatcher, plan.columnOf, output, source, false,
                               nullptr)
                         .Run(strError, bStopped);
        }
    }
    if (result == ERunResult::FewLines) {
        // A file with a byte-order mark, or one whose first piece cannot
        // tell whether it has enough lines, is parsed as one text.
        CString strWhole;
        if (!reader.ReadAll(strWhole, "\r\n")) {
            strError = reader.GetError();
            return false;
        }
        strWhole.append("\r\n");
        CPieceSource source(std::move(strWhole));
        result =
            CPieceRun(strDataPath, *plan.pMatcher, plan.columnOf, output, source, true, nullptr)
                .Run(strError, bStopped);
    }
    if (pComplete != nullptr)
        *pComplete = !bStopped;
    if (result != ERunResult::Done)
        return false;
    if (!sink.EndRows()) {
        strError = sink.GetError();
        return false;
    }
    return true;
}

bool CStreamedParse::RunText(std::string_view text, int nColumns, IRowSink& sink, CString& strError,
                             bool* pComplete) const
{
    strError.clear();
    const CRunPlan plan = MakePlan(m_settings, m_strTemplate);
    CRowOutput output(sink, nColumns);
    const CString strName;
    bool bStopped = false;
    // The lines a piece passes over are counted by its LFs, as in a text
    // joined from a file's lines; a text with an LF on its own is parsed
    // as one piece.
    CPieceSource source(text, HasLoneLf(text) ? text.size() + 1 : m_nPieceSize);
    ERunResult result =
        CPieceRun(strName, *plan.pMatcher, plan.columnOf, output, source, true, nullptr)
            .Run(strError, bStopped);
    if (result == ERunResult::FewLines) {
        // The first piece cannot tell whether the text has enough lines:
        // it is parsed as one piece.
        CPieceSource whole(text, text.size() + 1);
        result = CPieceRun(strName, *plan.pMatcher, plan.columnOf, output, whole, true, nullptr)
                     .Run(strError, bStopped);
    }
    if (pComplete != nullptr)
        *pComplete = !bStopped;
    return result == ERunResult::Done;
}

bool CStreamedParse::Run(const CString& strDataPath, const FFormatRow& format, const FWrite& write,
                         CString& strError) const
{
    CFunctionSink sink(format, write);
    return Run(strDataPath, sink, strError);
}

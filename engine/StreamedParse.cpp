#include "StreamedParse.h"

#include "ParseReport.h"
#include "ParseResult.h"
#include "PieceMatcher.h"
#include "PieceRun.h"
#include "PieceSource.h"
#include "StreamPieces.h"
#include "TemplateMatcher.h"
#include "TextFileReader.h"
#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/Messages.h"
#include "framework/StringUtil.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using std::string_view;

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

// The runs of one parse over a piece source: as UTF-8 with a check at the
// first piece that is not plain ASCII, then, when the text is not UTF-8, on
// from that piece as Windows-1252. FewLines asks for the text whole.
ERunResult RunPieces(const CString& strName, const CRunPlan& plan, CRowOutput& output,
                     CPieceSource& source, bool bCheckUtf8, CReportBuilder& report,
                     CString& strError)
{
    CPieceRun run(strName, *plan.pMatcher, plan.columnOf, output, source, true, bCheckUtf8, report,
                  CRunStart());
    const ERunResult result = run.Run(strError);
    if (result != ERunResult::NotUtf8)
        return result;
    CPieceRun rest(strName, *plan.pMatcher, plan.columnOf, output, source, false, false, report,
                   run.GetStop());
    return rest.Run(strError);
}

// The parse of a file read whole: one piece. A fresh report, as for a
// parse that had not begun before.
ERunResult RunWhole(const CString& strName, const CString& strPath, const CRunPlan& plan,
                    CRowOutput& output, CReportBuilder& report, CString& strError)
{
    CTextFileReader reader(strPath);
    CString strWhole;
    if (!reader.ReadAll(strWhole, "\r\n")) {
        strError = reader.GetError();
        if (strName != strPath)
            str::ReplaceAll(strError, strPath, strName);
        return ERunResult::Failed;
    }
    strWhole.append("\r\n");
    CPieceSource source(std::move(strWhole));
    report = plan.pMatcher->StartReport();
    return RunPieces(strName, plan, output, source, false, report, strError);
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

// A data file that can be read in pieces at any offset: a regular file
// that is not empty by its size.
bool IsSeekableText(const CString& strPath)
{
    struct stat st
    {};
    return ::stat(strPath.c_str(), &st) == 0 &&
        (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && st.st_size > 0));
}

// Standard input that is a regular file, not empty, read from its start:
// the file it is, as a path to open again and read in pieces at any offset
// (empty when standard input is anything else, or cannot be opened again).
CString StdinFilePath()
{
    static const char* const kPath = "/proc/self/fd/0";
    struct stat in
    {};
    struct stat again
    {};
    if ((::fcntl(0, F_GETFL) & O_ACCMODE) == O_WRONLY || ::fstat(0, &in) != 0 ||
        !S_ISREG(in.st_mode) || in.st_size <= 0 || ::lseek(0, 0, SEEK_CUR) != 0 ||
        ::stat(kPath, &again) != 0 || again.st_dev != in.st_dev || again.st_ino != in.st_ino)
        return {};
    const int fd = ::open(kPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    ::close(fd);
    return kPath;
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
                         CParseReport* pReport) const
{
    strError.clear();
    const bool bStdin = strDataPath == "-";
    const CString strName = bStdin ? CString("standard input") : strDataPath;
    if (!bStdin && IsSeekableText(strDataPath))
        return RunFile(strDataPath, strName, sink, strError, pReport);
    if (const CString strStdinFile = bStdin ? StdinFilePath() : CString(); !strStdinFile.empty()) {
        // Read as the file it is; standard input is then left at its end,
        // as reading it through would.
        const bool bDone = RunFile(strStdinFile, strName, sink, strError, pReport);
        ::lseek(0, 0, SEEK_END);
        return bDone;
    }
    // Standard input, a pipe, a device or a file whose size reads as 0: the
    // text is read once, from its start to its end.
    const int fd = bStdin ? 0 : ::open(strDataPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        strError = msg::CannotOpen(strDataPath, ErrnoText(errno));
        return false;
    }
    const bool bDone = RunStream(fd, strName, sink, strError, pReport);
    if (!bStdin)
        ::close(fd);
    return bDone;
}

template <typename FParse>
bool CStreamedParse::RunRows(IRowSink& sink, CString& strError, CParseReport* pReport,
                             const FParse& parse) const
{
    if (!sink.BeginRows(m_columns)) {
        strError = sink.GetError();
        return false;
    }
    const CRunPlan plan = MakePlan(m_settings, m_strTemplate);
    CRowOutput output(sink, GetColumnCount());
    CReportBuilder report = plan.pMatcher->StartReport();
    const ERunResult result = parse(plan, output, report);
    if (pReport != nullptr)
        *pReport = report.Get();
    if (result != ERunResult::Done)
        return false;
    if (!sink.EndRows()) {
        strError = sink.GetError();
        return false;
    }
    return true;
}

bool CStreamedParse::RunFile(const CString& strDataPath, const CString& strName, IRowSink& sink,
                             CString& strError, CParseReport* pReport) const
{
    CTextFileReader reader(strDataPath);
    if (!reader.IsOpen() || !reader.GetError().empty()) {
        strError = reader.GetError();
        if (strName != strDataPath)
            str::ReplaceAll(strError, strDataPath, strName);
        return false;
    }
    const auto parse = [&](const CRunPlan& plan, CRowOutput& output, CReportBuilder& report) {
        ERunResult result = ERunResult::FewLines;
        // A file with a byte-order mark is read whole; one without is taken
        // as UTF-8 until a piece that is not plain ASCII has it checked.
        if (reader.GetEncoding() == CTextFileReader::ANSI) {
            CPieceSource source(reader, m_nPieceSize);
            result = RunPieces(strName, plan, output, source, true, report, strError);
        }
        // A file whose first piece cannot tell whether it has enough lines
        // is parsed as one text.
        if (result == ERunResult::FewLines)
            result = RunWhole(strName, strDataPath, plan, output, report, strError);
        if (result == ERunResult::Failed && strName != strDataPath)
            str::ReplaceAll(strError, strDataPath, strName);
        return result;
    };
    return RunRows(sink, strError, pReport, parse);
}

bool CStreamedParse::RunStream(int fd, const CString& strName, IRowSink& sink, CString& strError,
                               CParseReport* pReport) const
{
    CStreamPieces stream(fd, m_nPieceSize, strName);
    if (!stream.Start(strError))
        return false;
    const auto parse = [&](const CRunPlan& plan, CRowOutput& output, CReportBuilder& report) {
        ERunResult result = ERunResult::FewLines;
        if (!stream.HasByteOrderMark()) {
            CPieceSource source(stream);
            result = RunPieces(strName, plan, output, source, true, report, strError);
        }
        // Text with a byte-order mark, or whose first piece cannot tell
        // whether it has enough lines, is read whole from a spool of the
        // stream.
        if (result == ERunResult::FewLines) {
            CString strSpool;
            result = stream.SpoolAll(strSpool, strError)
                ? RunWhole(strName, strSpool, plan, output, report, strError)
                : ERunResult::Failed;
        }
        return result;
    };
    return RunRows(sink, strError, pReport, parse);
}

bool CStreamedParse::RunText(std::string_view text, int nColumns, IRowSink& sink, CString& strError,
                             CParseReport* pReport) const
{
    strError.clear();
    const CRunPlan plan = MakePlan(m_settings, m_strTemplate);
    CRowOutput output(sink, nColumns);
    const CString strName;
    CReportBuilder report = plan.pMatcher->StartReport();
    // The lines a piece passes over are counted by its LFs, as in a text
    // joined from a file's lines; a text with an LF on its own is parsed
    // as one piece.
    CPieceSource source(text, HasLoneLf(text) ? text.size() + 1 : m_nPieceSize);
    ERunResult result = RunPieces(strName, plan, output, source, false, report, strError);
    if (result == ERunResult::FewLines) {
        // The first piece cannot tell whether the text has enough lines:
        // it is parsed as one piece.
        CPieceSource whole(text, text.size() + 1);
        report = plan.pMatcher->StartReport();
        result = RunPieces(strName, plan, output, whole, false, report, strError);
    }
    if (pReport != nullptr)
        *pReport = report.Get();
    return result == ERunResult::Done;
}

bool CStreamedParse::Run(const CString& strDataPath, const FFormatRow& format, const FWrite& write,
                         CString& strError) const
{
    CFunctionSink sink(format, write);
    return Run(strDataPath, sink, strError);
}

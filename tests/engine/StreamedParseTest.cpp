// The streamed parse of a data file against RunParse on the text the
// window loads from the same file: the same rows for every template,
// setting, encoding, line-end style and size of the pieces the file is
// read in.
#include "engine/StreamedParse.h"
#include "support/ListDump.h"
#include "support/RandomCaseRun.h"
#include "support/RandomParseCase.h"
#include "support/TempDir.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "engine/ParseReport.h"
#include "engine/ParseResult.h"
#include "engine/TemplateMatcher.h"
#include "framework/ListCtrl.h"
#include "framework/StringUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

struct CStreamed
{
    bool bDone = false;
    std::string strRows; // as DumpRows shows a list
    CString strError;
    std::string strReport; // as DumpReport shows it
};

// Every figure of a report, for comparisons.
std::string DumpReport(const CParseReport& report)
{
    std::string strDump = std::to_string(report.nLines) + " lines, " +
        std::to_string(report.nBlankLines) + " blank, " + std::to_string(report.nRecords) +
        " records, " + std::to_string(report.nValues) + " values, end " +
        std::to_string(static_cast<int>(report.eEnd)) + " at " + std::to_string(report.nStopLine) +
        " \"" + report.strStopText + "\" template " + std::to_string(report.nTemplateLine) + " \"" +
        report.strTemplateText + "\";";
    for (const CFieldReport& field : report.fields)
        strDump += " " + field.strCaption + "=" + std::to_string(field.nValues) + "/" +
            std::to_string(field.nFirstMissLine);
    return strDump;
}

// Rows as text, one a line, cells joined by "|"; formatted on the parse's
// threads, or taken one by one.
class CDumpSink final : public IRowSink, public IRowFormatter
{
public:
    explicit CDumpSink(std::string& strRows, bool bFormatter = true)
        : m_strRows(strRows), m_bFormatter(bFormatter)
    {}
    bool BeginRows(const std::vector<CTableColumn>& columns) override
    {
        m_nColumns = static_cast<int>(columns.size());
        return true;
    }
    bool AddRow(const std::string_view* pCells, int nImage) override
    {
        CString strRow;
        FormatRow(strRow, pCells, nImage);
        m_strRows += strRow;
        return true;
    }
    bool EndRows() override { return true; }
    const IRowFormatter* GetFormatter() const override { return m_bFormatter ? this : nullptr; }
    bool AddFormattedRows(std::string_view text) override
    {
        m_strRows.append(text);
        return true;
    }
    void FormatRow(CString& strOut, const std::string_view* pCells, int /*nImage*/) const override
    {
        for (int j = 0; j < m_nColumns; ++j) {
            if (j > 0)
                strOut += '|';
            strOut.append(pCells[j]);
        }
        strOut += '\n';
    }

private:
    std::string& m_strRows;
    bool m_bFormatter;
    int m_nColumns = 0;
};

CStreamed RunStreamed(const CStreamedParse& parse, const std::string& strPath,
                      bool bFormatter = true)
{
    CStreamed result;
    CDumpSink sink(result.strRows, bFormatter);
    CParseReport report;
    result.bDone = parse.Run(strPath, sink, result.strError, &report);
    result.strReport = DumpReport(report);
    return result;
}

// The list after one Parse Data of the file's text in a fresh window, by
// the plain road: the whole text walked on one thread, every value kept,
// then the list filled from the values. pReport gets that walk's report.
std::string ParsedList(const CParseSettings& settings, const CString& strTemplate,
                       const std::string& strPath, std::string* pReport = nullptr)
{
    CString strData;
    CLineArray::LoadJoined(strPath, "\r\n", strData, nullptr);
    CListCtrl list;
    InitResultList(list);
    CTemplateMatcher matcher;
    matcher.SetSettings(settings.strStartTag, settings.strEndTag, settings.strAllowedChars);
    CParseResult result;
    CParseReport report;
    matcher.Parse(&result, strData, strTemplate, LineBreakFromCrCl(settings.strCrCl), &report);
    result.FillList(list, !strTemplate.empty(), settings.strStartTag, settings.strEndTag);
    if (pReport != nullptr)
        *pReport = DumpReport(report);
    return DumpList(list);
}

// The report of Parse Data in the window, which parses the loaded text in
// pieces of nPieceSize.
std::string WindowReport(const CParseSettings& settings, const CString& strTemplate,
                         const std::string& strPath, std::uint64_t nPieceSize)
{
    CString strData;
    CLineArray::LoadJoined(strPath, "\r\n", strData, nullptr);
    CStreamedParse parse(settings, strTemplate);
    parse.SetPieceSize(nPieceSize);
    std::string strRows;
    CDumpSink sink(strRows);
    CString strError;
    CParseReport report;
    parse.RunText(strData, parse.GetColumnCount(), sink, strError, &report);
    return DumpReport(report);
}

std::string Columns(const CStreamedParse& parse)
{
    CListCtrl list;
    InitResultList(list);
    parse.FillColumns(list);
    return DumpList(list);
}

// Every CR LF of the text replaced by what pick gives.
template <class FPick>
std::string ReplaceLineEnds(const std::string& text, FPick pick)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += pick();
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Utf16Le(const std::string& strUtf8)
{
    std::string out = "\xFF\xFE";
    for (size_t i = 0; i < strUtf8.size();) {
        const auto by = static_cast<unsigned char>(strUtf8[i]);
        char32_t ch = by;
        size_t n = 1;
        if (by >= 0xE0 && i + 2 < strUtf8.size()) {
            ch = ((by & 0x0Fu) << 12) |
                ((static_cast<unsigned char>(strUtf8[i + 1]) & 0x3Fu) << 6) |
                (static_cast<unsigned char>(strUtf8[i + 2]) & 0x3Fu);
            n = 3;
        } else if (by >= 0xC0 && i + 1 < strUtf8.size()) {
            ch = ((by & 0x1Fu) << 6) | (static_cast<unsigned char>(strUtf8[i + 1]) & 0x3Fu);
            n = 2;
        }
        out += static_cast<char>(ch & 0xFF);
        out += static_cast<char>(ch >> 8);
        i += n;
    }
    return out;
}

// The bytes of a data file that holds the text in one of the ways files
// come: line ends of each kind or mixed, empty lines first, a byte-order
// mark, UTF-16, or a Windows-1252 byte that makes the file not UTF-8.
std::string FileBytes(const std::string& strText, int nVariant, std::mt19937& rng)
{
    switch (nVariant) {
    case 1:
        return ReplaceLineEnds(strText, [] { return "\n"; });
    case 2:
        return ReplaceLineEnds(strText, [] { return "\r"; });
    case 3:
        return ReplaceLineEnds(strText, [&rng] {
            static const char* const kEnds[] = {"\r\n", "\n", "\r", "\n\r"};
            return kEnds[rng() % 4];
        });
    case 4:
        return (rng() % 2 ? "\r\n" : "\n\n  \r\n") + strText;
    case 5:
        return "\xEF\xBB\xBF" + strText;
    case 6:
        return Utf16Le(strText);
    case 7: {
        // Late in the file, so that the pieces before it are plain ASCII.
        std::string bytes = strText;
        bytes.insert(bytes.size() - bytes.size() / 8, "\xE9");
        return bytes;
    }
    default:
        return strText;
    }
}

struct CRandomFile
{
    int nVariant = 0; // of FileBytes
    std::string strBytes;
    std::string strPath;
    CParseSettings settings; // of the case
};

// strText, the data of case c once or more, written to data.txt in dir in
// a random one of the ways files come.
CRandomFile WriteRandomFile(const CTempDir& dir, const CParseCase& c, const std::string& strText,
                            std::mt19937& rng)
{
    CRandomFile file;
    file.nVariant = static_cast<int>(rng() % 9);
    file.strBytes = FileBytes(strText, file.nVariant, rng);
    file.strPath = dir.Write("data.txt", file.strBytes);
    file.settings.strStartTag = c.strStart;
    file.settings.strEndTag = c.strEnd;
    file.settings.strAllowedChars = c.strAllowed;
    file.settings.strCrCl = c.strLineBreak;
    return file;
}

// A file of the numbers 0 to nCount - 1, one a line.
std::string NumbersFile(const CTempDir& dir, int nCount)
{
    std::string strData;
    for (int i = 0; i < nCount; ++i)
        strData += std::to_string(i) + "\r\n";
    return dir.Write("numbers.txt", strData);
}

} // namespace

TEST(StreamedParse, AgreesWithTheListOnRandomFilesAndPieceSizes)
{
    static const std::uint64_t kPieceSizes[] = {1, 2, 5, 16, 40, 100, 4096};
    std::mt19937 rng(11);
    const CTempDir dir;
    CheckRandomCases(7, 2000, [&](int i, const CParseCase& c) {
        std::string strText = c.strData;
        if (i % 4 == 0) {
            // Many records, for many pieces of a larger size.
            for (int r = 0; r < 5; ++r)
                strText += c.strData;
        }
        const CRandomFile file = WriteRandomFile(dir, c, strText, rng);

        std::string strExpectedReport;
        const std::string strExpected =
            ParsedList(file.settings, c.strTemplate, file.strPath, &strExpectedReport);
        CStreamedParse parse(file.settings, c.strTemplate);
        const std::uint64_t nPieceSize = kPieceSizes[rng() % std::size(kPieceSizes)];
        parse.SetPieceSize(nPieceSize);
        const CStreamed streamed = RunStreamed(parse, file.strPath, i % 2 == 0);
        const std::string strActual = Columns(parse) + streamed.strRows;
        const std::string strWindowReport =
            WindowReport(file.settings, c.strTemplate, file.strPath, nPieceSize);
        if (streamed.bDone && strActual == strExpected && streamed.strReport == strExpectedReport &&
            strWindowReport == strExpectedReport)
            return true;
        ADD_FAILURE() << "case " << i << ", file variant " << file.nVariant << ": " << Describe(c)
                      << "\nexpected:\n"
                      << strExpected << strExpectedReport << "\nstreamed:\n"
                      << strActual << streamed.strReport << "\nwindow: " << strWindowReport << "\n"
                      << streamed.strError;
        return false;
    });
}

TEST(StreamedParse, LargeFilesWithStopsBlankLinesAndLateNonUtf8Bytes)
{
    // A template with a blank line, so that the template line each piece
    // starts with is found by walking its lines, and one without, where it
    // is found by counting them. A separator that does not match stops the
    // run in some piece; a Windows-1252 byte near the end makes the whole
    // file Windows-1252 after many pieces have been read as UTF-8.
    const CString templates[] = {
        "Host: <$$host$$>\r\n\r\nUser: <$$user{$$^ $$}$$> id <$$id$$>\r\n-----",
        "Host: <$$host$$>\r\nUser: <$$user{$$^ $$}$$> id <$$id$$>\r\n-----",
    };
    const CTempDir dir;
    for (const CString& strTemplate : templates) {
        for (int nBreakAt : {-1, 700, 2900}) {
            for (bool bCp1252 : {false, true}) {
                std::mt19937 rng(static_cast<unsigned>(nBreakAt + 5));
                std::string strData = "\r\n  \r\n";
                for (int i = 0; i < 3000; ++i)
                    strData += HostRecord(rng, i, nBreakAt, bCp1252 && i == 2990 ? "\xE9" : "");
                const std::string strPath = dir.Write("large.txt", strData);
                const CParseSettings settings = DefaultParseSettings();
                const std::string strExpected = ParsedList(settings, strTemplate, strPath);
                CStreamedParse parse(settings, strTemplate);
                parse.SetPieceSize(2000);
                const CStreamed streamed = RunStreamed(parse, strPath);
                EXPECT_TRUE(streamed.bDone);
                EXPECT_EQ(Columns(parse) + streamed.strRows, strExpected)
                    << strTemplate << " stop at " << nBreakAt << (bCp1252 ? ", Windows-1252" : "");
            }
        }
    }
}

TEST(StreamedParse, AMissingFileIsNamedAndAFailedWriteStopsTheRun)
{
    const CTempDir dir;
    const CStreamedParse parse(DefaultParseSettings(), "<$$a$$>");
    const std::string strMissing = dir.File("missing.txt");
    const CStreamed missing = RunStreamed(parse, strMissing);
    EXPECT_FALSE(missing.bDone);
    EXPECT_NE(missing.strError.find(strMissing), CString::npos) << missing.strError;
    EXPECT_TRUE(missing.strRows.empty());

    const std::string strPath = NumbersFile(dir, 5000);
    CStreamedParse small(DefaultParseSettings(), "<$$a$$>");
    small.SetPieceSize(100);
    int nWrites = 0;
    CString strError;
    const bool bDone = small.Run(
        strPath, [](CString& strOut, const std::string_view* pCells) { strOut.append(pCells[0]); },
        [&nWrites](std::string_view) { return ++nWrites < 3; }, strError);
    EXPECT_FALSE(bDone);
    EXPECT_TRUE(strError.empty()) << strError;
    EXPECT_EQ(nWrites, 3);

    // A pipe whose writer stays: the run ends without waiting for more,
    // also where the pieces after the one that failed are not all there.
    int fds[2] = {-1, -1};
    ASSERT_EQ(::pipe(fds), 0);
    const std::string strNumbers = CTempDir::Read(strPath).substr(0, 600);
    ASSERT_EQ(::write(fds[1], strNumbers.data(), strNumbers.size()),
              static_cast<ssize_t>(strNumbers.size()));
    nWrites = 0;
    EXPECT_FALSE(small.Run(
        "/proc/self/fd/" + std::to_string(fds[0]),
        [](CString& strOut, const std::string_view* pCells) { strOut.append(pCells[0]); },
        [&nWrites](std::string_view) { return ++nWrites < 3; }, strError));
    EXPECT_EQ(nWrites, 3);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(StreamedParse, LinesLongerThanManyPiecesAndFilesWithoutASize)
{
    // Pieces whose nominal starts fall inside one long line all begin after
    // it; with each kind of line end.
    const CTempDir dir;
    const CString strTemplate = "Name: <$$n{$$^ $$}$$>";
    for (const char* pszEnd : {"\r\n", "\n", "\r"}) {
        std::string strData = std::string("Name: a") + pszEnd;
        strData += "Name: " + std::string(100000, 'x') + pszEnd + "Name: b" + pszEnd;
        strData += "Name: " + std::string(50000, 'y') + "\rz" + pszEnd + "Name: c";
        const std::string strPath = dir.Write("long.txt", strData);
        const std::string strExpected = ParsedList(DefaultParseSettings(), strTemplate, strPath);
        for (std::uint64_t nPiece : {std::uint64_t{7}, std::uint64_t{1000}, std::uint64_t{60000}}) {
            CStreamedParse parse(DefaultParseSettings(), strTemplate);
            parse.SetPieceSize(nPiece);
            const CStreamed streamed = RunStreamed(parse, strPath);
            EXPECT_TRUE(streamed.bDone) << streamed.strError;
            EXPECT_TRUE(Columns(parse) + streamed.strRows == strExpected) << nPiece;
        }
    }

    // A file whose size reads as 0 but has text is read to its end.
    const CStreamedParse status(DefaultParseSettings(), "Name: <$$name$$>");
    const CStreamed streamed = RunStreamed(status, "/proc/self/status");
    EXPECT_TRUE(streamed.bDone) << streamed.strError;
    EXPECT_EQ(streamed.strRows, std::string(program_invocation_short_name) + "\n");
}

TEST(StreamedParse, FailuresEndTheRunWithAMessageThatNamesTheFile)
{
    const CTempDir dir;
    // An exception while rows are formed, on a worker thread, or while
    // they are written, on the calling thread.
    const std::string strPath = NumbersFile(dir, 3000);
    CStreamedParse small(DefaultParseSettings(), "<$$a$$>");
    small.SetPieceSize(100);
    for (const bool bInWrite : {false, true}) {
        CString strError;
        const bool bDone = small.Run(
            strPath,
            [bInWrite](CString& strOut, const std::string_view* pCells) {
                if (!bInWrite && pCells[0] == "2500")
                    throw std::runtime_error("no room");
                strOut.append(pCells[0]);
            },
            [bInWrite](std::string_view text) {
                if (bInWrite && text.find("2500") != std::string_view::npos)
                    throw std::runtime_error("no room");
                return true;
            },
            strError);
        EXPECT_FALSE(bDone);
        EXPECT_EQ(strError, "Cannot parse \"" + strPath + "\": no room") << bInWrite;
    }
}

namespace {

// The run of a parse that reads the bytes from a FIFO, written by another
// thread as the parse reads them.
CStreamed RunThroughFifo(const CStreamedParse& parse, const CTempDir& dir,
                         const std::string& strBytes, bool bFormatter)
{
    const std::string strFifo = dir.File("fifo");
    std::remove(strFifo.c_str());
    EXPECT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    std::thread writer([&strFifo, &strBytes]() {
        std::ofstream out(strFifo, std::ios::binary);
        out << strBytes;
    });
    CStreamed streamed = RunStreamed(parse, strFifo, bFormatter);
    writer.join();
    return streamed;
}

} // namespace

TEST(StreamedParse, PipesGiveTheRowsAndTheReportOfTheFile)
{
    // Every kind of file the random cases make, through a FIFO: encodings
    // and byte-order marks, line ends, a late Windows-1252 byte that makes
    // the text not UTF-8 after many plain pieces, and piece sizes small
    // enough to cut lines anywhere.
    static const std::uint64_t kPieceSizes[] = {1, 3, 16, 100, 4096};
    std::mt19937 rng(37);
    const CTempDir dir;
    CheckRandomCases(31, 300, [&](int i, const CParseCase& c) {
        std::string strText = c.strData;
        for (int r = 0; r < static_cast<int>(rng() % 8); ++r)
            strText += c.strData;
        const CRandomFile file = WriteRandomFile(dir, c, strText, rng);
        CStreamedParse parse(file.settings, c.strTemplate);
        parse.SetPieceSize(kPieceSizes[rng() % std::size(kPieceSizes)]);
        std::string strExpectedReport;
        const std::string strExpected =
            ParsedList(file.settings, c.strTemplate, file.strPath, &strExpectedReport);
        const CStreamed fromFifo = RunThroughFifo(parse, dir, file.strBytes, i % 2 == 0);
        const std::string strActual = Columns(parse) + fromFifo.strRows;
        if (fromFifo.bDone && strActual == strExpected && fromFifo.strReport == strExpectedReport)
            return true;
        ADD_FAILURE() << "case " << i << ", file variant " << file.nVariant << ": " << Describe(c)
                      << "\nfile:\n"
                      << strExpected << strExpectedReport << "\nfifo:\n"
                      << strActual << fromFifo.strReport << "\n"
                      << fromFifo.strError;
        return false;
    });
}

// The report of a parse: what the walk did, where it stopped and why, and
// the fields that captured nothing, in the one sentence the window shows.
#include "engine/ParseReport.h"

#include "support/TempDir.h"
#include "engine/ParseCommand.h"
#include "engine/StreamedParse.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

class CNullRowSink final : public IRowSink
{
public:
    bool BeginRows(const std::vector<CTableColumn>&) override { return true; }
    bool AddRow(const std::string_view*, int) override { return true; }
    bool EndRows() override { return true; }
};

CParseReport WindowReport(const CString& strTemplate, const CString& strData)
{
    CListCtrl list;
    InitResultList(list);
    CString strLast;
    CParseReport report;
    RunParse(list, DefaultParseSettings(), strTemplate, strData, strLast, &report);
    return report;
}

// The report of the command line for the bytes of a data file.
CParseReport FileReport(const CString& strTemplate, const std::string& strBytes)
{
    const CTempDir dir;
    const std::string strPath = dir.Write("data.txt", strBytes);
    CStreamedParse parse(DefaultParseSettings(), strTemplate);
    parse.SetPieceSize(7);
    CNullRowSink sink;
    CString strError;
    CParseReport report;
    EXPECT_TRUE(parse.Run(strPath, sink, strError, &report)) << strError;
    return report;
}

const char* const kRecord = "Name: <$$name$$>\r\nMail: <$$mail$$>\r\n-----";

} // namespace

TEST(ParseReport, SaysHowTheWalkEnded)
{
    // A template, the data and the sentence of the report.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {kRecord, "Name: ann\r\nMail: a@x\r\n-----\r\nName: bob\r\nMail: b@x\r\n-----\r\n",
         "2 records (6 lines)."},
        {kRecord, "\r\n\r\nName: ann\r\n\r\nMail: a@x\r\n-----\r\n\r\n\r\n",
         "1 record (6 lines, 3 blank)."},
        {kRecord, "Name: ann\r\nMail: a@x\r\n-----\r\nName: bob\r\nMail: b@x\r\nNotes: x\r\n",
         "Stopped at line 6 of the data after 2 records: the template's line 3 expects "
         "\"-----\", the data has \"Notes: x\"."},
        {kRecord, "Name: ann\r\nMail: a@x",
         "No records: the template has 3 lines, more than the data."},
        {kRecord, "Name: ann\r\nMail: !\r\n-----\r\nName: bob\r\nMail: !!\r\n-----",
         "2 records (6 lines). The field \"mail\" never matched (first at line 2)."},
        {"<$$id$$> <$$user$$>", "1 ann\r\n2\r\n3 cy", "3 records (3 lines)."},
        {"<$$a$$>", "", "0 records (0 lines). The field \"a\" never matched."},
    };
    for (const auto& [pszTemplate, pszData, pszSentence] : cases)
        EXPECT_EQ(ReportSentence(WindowReport(pszTemplate, pszData)), pszSentence) << pszData;

    const CParseReport partial = WindowReport("<$$id$$> <$$user$$>", "1 ann\r\n2\r\n3 cy");
    ASSERT_EQ(partial.fields.size(), 2u);
    EXPECT_EQ(partial.fields[1].nValues, 2u);
    EXPECT_EQ(partial.fields[1].nFirstMissLine, 2u);
    EXPECT_EQ(partial.nValues, 5u);
}

TEST(ParseReport, DataLinesAreNumberedAsTheLoadedTextShowsThem)
{
    // Line ends of each kind, leading blank lines (the loaded text keeps
    // those after its first non-blank byte, not those before) and UTF-16.
    const std::string strLines[] = {"Name: ann", "Mail: a@x", "Notes"};
    for (const char* pszEnd : {"\r\n", "\n", "\r"}) {
        std::string strData = std::string(pszEnd) + pszEnd + "  " + pszEnd;
        for (const std::string& strLine : strLines)
            strData += strLine + pszEnd;
        const CParseReport report = FileReport(kRecord, strData);
        EXPECT_EQ(report.eEnd, CParseReport::EEnd::Mismatch);
        EXPECT_EQ(report.nStopLine, 4u) << "line ends " << (pszEnd[0] == '\r' ? "CR..." : "LF");
        EXPECT_EQ(report.nTemplateLine, 3u);
        EXPECT_EQ(report.strStopText, "Notes");
    }
    std::string strUtf16 = "\xFF\xFE";
    for (const char ch : std::string("\r\nName: ann\r\nMail: a@x\r\n-\r\n"))
        strUtf16 += std::string(1, ch) + '\0';
    const CParseReport utf16 = FileReport(kRecord, strUtf16);
    EXPECT_EQ(utf16.eEnd, CParseReport::EEnd::Mismatch);
    EXPECT_EQ(utf16.nStopLine, 3u);
}

TEST(ParseReport, JsonHoldsEveryFigure)
{
    CParseReport report = WindowReport(kRecord, "Name: a\"b\r\nMail: x\r\n--\r\n");
    report.strSource = "d.txt";
    EXPECT_EQ(ReportJson(report),
              "{\"source\":\"d.txt\",\"lines\":3,\"blankLines\":0,\"records\":1,\"values\":2,"
              "\"end\":\"mismatch\",\"templateLines\":3,\"stop\":{\"line\":3,\"text\":\"--\","
              "\"templateLine\":3,\"templateText\":\"-----\"},\"fields\":[{\"name\":"
              "\"<$$name$$>\",\"caption\":\"name\",\"values\":1,\"firstMissLine\":0},{\"name\":"
              "\"<$$mail$$>\",\"caption\":\"mail\",\"values\":1,\"firstMissLine\":0}]}");
}

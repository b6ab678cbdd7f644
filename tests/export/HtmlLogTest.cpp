#include "export/HtmlLog.h"

#include "support/ListBuilder.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const CHtmlRowStyle kBody{0x000000, 2};
const std::string kEnd = "</TABLE>\n</BODY>\n</HTML>";

// Files may grow to nBytes only while this object lives; a write past the
// limit fails with EFBIG instead of raising SIGXFSZ.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t nBytes)
    {
        m_pOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = nBytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_pOldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_pOldHandler)(int) = nullptr;
};

// A finished report of one-cell rows as the list report writes it: a new
// file gets a header row first.
bool WriteReport(const std::string& strPath, const std::string& strCaption,
                 const std::vector<std::string>& rows)
{
    CHtmlLog log;
    if (!log.Open(strPath, "T", 0, 0) || !log.BeginTable(1, strCaption, log.IsNewFile(), 1, 100, 2))
        return false;
    if (log.IsNewFile()) {
        log.SetCellText(0, "H");
        log.SetNextRowColor(0x7799CC);
        if (!log.WriteRow(CHtmlRowStyle{0xFFFFFF, 3}, true))
            return false;
    }
    for (const std::string& row : rows) {
        log.SetCellText(0, row);
        if (!log.WriteRow(kBody, false))
            return false;
    }
    return log.Close();
}

std::string BodyRow(const std::string& strText, const char* pszColor)
{
    return "<TR  ALIGN=\"LEFT\" style=\"font-family: tahoma,courrier,arial,helvetica,sans-serif\">"
           "<TD  BGCOLOR=\"#" +
        std::string(pszColor) + "\"><FONT SIZE=\"2\" COLOR=\"#000000\">" + strText + "</FONT>\n";
}

// Where two texts first differ, for messages that stay readable when the
// texts are long.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
        ", first difference at " + std::to_string(n) + ": \"" + a.substr(n, 40) + "\" vs \"" +
        b.substr(n, 40) + "\"";
}

// The file of a log that only begins a table without cells and closes.
std::string EmptyTableFile(const std::string& strPath, const CString& strTitle, COLORREF crBack,
                           COLORREF crText, const CString& strCaption, int nBorder,
                           int nWidthPercent, int nAlign)
{
    CHtmlLog log;
    EXPECT_TRUE(log.Open(strPath, strTitle, crBack, crText));
    EXPECT_TRUE(log.BeginTable(0, strCaption, true, nBorder, nWidthPercent, nAlign));
    EXPECT_TRUE(log.Close());
    return CTempDir::Read(strPath);
}

// The file must be the two comment lines followed by exactly strRest.
void ExpectReport(const std::string& strFile, const std::string& strOffsetLine,
                  const std::string& strCountLine, const std::string& strRest)
{
    const std::string expected = strOffsetLine + strCountLine + strRest;
    EXPECT_TRUE(strFile == expected) << FirstDifference(strFile, expected);
}

} // namespace

TEST(HtmlLog, TitleAndCaptionAreEscaped)
{
    CTempDir dir;
    const std::string file = EmptyTableFile(dir.File("t.html"), "Q&A <b>\"x\"</b>", 0x102030,
                                            0xABCDEF, "1 < 2 & 3 > \"2\"", 0, 50, 0);
    EXPECT_NE(file.find(" <TITLE>Q&amp;A &lt;b&gt;&quot;x&quot;&lt;/b&gt;</TITLE>\n"),
              std::string::npos);
    EXPECT_NE(file.find("<BODY BACKCOLOR=\"#102030\" TEXT=\"#ABCDEF\">\n"), std::string::npos);
    EXPECT_NE(file.find("<TABLE WIDTH=\"50%\" BORDER=0 CELLSPACING=\"0\" ALIGN=\"LEFT\""),
              std::string::npos);
    EXPECT_NE(file.find(">1 &lt; 2 &amp; 3 &gt; &quot;2&quot;</FONT></CAPTION>\n"),
              std::string::npos);

    // No title gives the default one; no caption gives no caption element.
    const std::string plainFile = EmptyTableFile(dir.File("plain.html"), "", 0, 0, "", 1, 100, 2);
    EXPECT_NE(plainFile.find(" <TITLE>HTML Log</TITLE>\n"), std::string::npos);
    EXPECT_EQ(plainFile.find("CAPTION"), std::string::npos);
}

TEST(HtmlLog, SlotsAndWidthsAreChecked)
{
    CTempDir dir;
    CHtmlLog log;
    EXPECT_FALSE(log.SetCellText(0, "x"));    // no slots yet
    EXPECT_FALSE(log.WriteRow(kBody, false)); // no file
    ASSERT_TRUE(log.Open(dir.File("s.html"), "", 0, 0));
    ASSERT_TRUE(log.BeginTable(2, "", true, 1, 100, 2));
    EXPECT_TRUE(log.SetCellText(1, "x"));
    EXPECT_FALSE(log.SetCellText(2, "x"));
    EXPECT_FALSE(log.SetCellText(-1, "x"));
    EXPECT_TRUE(log.SetCellWidth(0, 100));
    EXPECT_TRUE(log.SetCellWidth(1, 0));
    EXPECT_FALSE(log.SetCellWidth(0, 101));
    EXPECT_FALSE(log.SetCellWidth(0, -1));
    EXPECT_FALSE(log.SetCellWidth(2, 50));
    ASSERT_TRUE(log.WriteRow(kBody, false));
    // A header row after a body row would move the rows: refused.
    EXPECT_FALSE(log.WriteRow(kBody, true));
    ASSERT_TRUE(log.Close());
    EXPECT_FALSE(log.SetCellText(0, "x")); // Close freed the slots
    EXPECT_NE(CTempDir::Read(dir.File("s.html")).find("<TD WIDTH=\"100%\" BGCOLOR=\"#E7E7E7\">"),
              std::string::npos);
}

TEST(HtmlLog, OldRowsStayByteForByteWhenRowsAreAdded)
{
    CTempDir dir;
    const std::string path = dir.File("r.html");
    // A cell holding line feeds spans several lines; the count line still
    // counts it as one row.
    ASSERT_TRUE(WriteReport(path, "", {"two\nlines", "a\n\nb"}));
    const std::string before = CTempDir::Read(path);
    ASSERT_TRUE(WriteReport(path, "", {"c"}));
    const std::string after = CTempDir::Read(path);
    const std::string body = before.substr(18, before.size() - 18 - kEnd.size());
    // Two stored rows: the added row starts at the even colour again.
    ExpectReport(after, before.substr(0, 8), "<!000003>\n", body + BodyRow("c", "E7E7E7") + kEnd);
    EXPECT_NE(after.find(BodyRow("two\nlines", "FFFFFF") + BodyRow("a\n\nb", "E7E7E7")),
              std::string::npos);
}

TEST(HtmlLog, ReportWithoutItsEndTagsIsCompleted)
{
    CTempDir dir;
    const std::string path = dir.File("cut.html");
    ASSERT_TRUE(WriteReport(path, "", {"a", "b"}));
    std::string bytes = CTempDir::Read(path);
    bytes.resize(bytes.size() - kEnd.size());
    dir.Write("cut.html", bytes);
    ASSERT_TRUE(WriteReport(path, "", {"c"}));
    const std::string after = CTempDir::Read(path);
    ExpectReport(after, bytes.substr(0, 8), "<!000003>\n",
                 bytes.substr(18) + BodyRow("c", "E7E7E7") + kEnd);
}

TEST(HtmlLog, LongHeadWidensTheOffsetLine)
{
    CTempDir dir;
    const std::string path = dir.File("wide.html");
    const std::string caption(12000, 'c');
    ASSERT_TRUE(WriteReport(path, caption, {"a", "b"}));
    const std::string file = CTempDir::Read(path);
    ASSERT_EQ(file.substr(0, 2), "<!");
    const size_t nOffset = std::stoul(file.substr(2, 5));
    const std::string offsetLine = "<!" + std::to_string(nOffset) + ">\n";
    EXPECT_EQ(offsetLine.size(), 9u);
    EXPECT_GT(nOffset, 12000u);
    ExpectReport(file, offsetLine, "<!000002>\n",
                 file.substr(19, nOffset - 19) + BodyRow("a", "FFFFFF") + BodyRow("b", "E7E7E7") +
                     kEnd);
    EXPECT_EQ(file.compare(19, 7, "<!DOCTY"), 0);
    EXPECT_NE(file.find(">" + caption + "</FONT></CAPTION>\n<TR"), std::string::npos);

    // The wider line is read back and kept.
    ASSERT_TRUE(WriteReport(path, caption, {"c"}));
    ExpectReport(CTempDir::Read(path), offsetLine, "<!000003>\n",
                 file.substr(19, file.size() - 19 - kEnd.size()) + BodyRow("c", "E7E7E7") + kEnd);
}

TEST(HtmlLog, WiderCountLineCanWidenTheOffsetLineToo)
{
    CTempDir dir;
    // A report whose body starts at byte 9999 and that already claims
    // 999,999 rows: one more row needs a seventh count digit, which moves the
    // body to 10,000 and so needs a fifth offset digit as well. The stored
    // count is odd, so the colours are exchanged for the added row.
    const std::string lines = "<!9999>\n<!999999>\n";
    const std::string head = lines + std::string(9999 - lines.size() - 1, 'h') + "\n";
    const std::string oldRow = BodyRow("old", "FFFFFF");
    const std::string path = dir.Write("many.html", head + oldRow + kEnd);
    ASSERT_TRUE(WriteReport(path, "", {"new"}));
    const std::string file = CTempDir::Read(path);
    ExpectReport(file, "<!10001>\n", "<!1000000>\n",
                 head.substr(lines.size()) + oldRow + BodyRow("new", "FFFFFF") + kEnd);
    EXPECT_EQ(file.compare(10001, oldRow.size(), oldRow), 0);
}

TEST(HtmlLog, FailedNewReportLeavesNoFile)
{
    CTempDir dir;
    const std::string path = dir.File("full.html");
    const auto list = MakeList({{"a", 10}}, std::vector<std::vector<std::string>>(2000, {"row"}));
    CString strError;
    int nResult = 0;
    {
        const CFileSizeLimit limit(20000);
        nResult = CListExporter().SaveAsHtml(path, *list, strError);
    }
    EXPECT_EQ(nResult, 0);
    EXPECT_NE(strError.find("\"" + path + "\""), CString::npos) << strError;
    EXPECT_NE(strError.find("File too large"), CString::npos) << strError;
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(HtmlLog, FailedAdditionPutsTheOldReportBack)
{
    CTempDir dir;
    const std::string path = dir.File("keep.html");
    const auto list = MakeList({{"a", 10}}, std::vector<std::vector<std::string>>(3, {"row"}));
    CString strError;
    ASSERT_EQ(CListExporter().SaveAsHtml(path, *list, strError), 1);
    const std::string before = CTempDir::Read(path);

    const auto more = MakeList({{"a", 10}}, std::vector<std::vector<std::string>>(3000, {"more"}));
    int nResult = 0;
    {
        const CFileSizeLimit limit(before.size() + 70000);
        nResult = CListExporter().SaveAsHtml(path, *more, strError);
    }
    EXPECT_EQ(nResult, 0);
    EXPECT_NE(strError.find(path), CString::npos) << strError;
    EXPECT_EQ(CTempDir::Read(path), before);
}

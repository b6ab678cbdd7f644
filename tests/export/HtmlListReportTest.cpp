#include "export/HtmlListReport.h"

#include "support/ListBuilder.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

std::string DataFile(const std::string& strName)
{
    return CTempDir::Read(std::string(KORVANE_TEST_DATA_DIR) + "/html/" + strName);
}

int SaveHtml(const std::string& strPath, const CListCtrl& list, CString* pError = nullptr)
{
    CString strError;
    const int nResult = CListExporter().SaveAsHtml(strPath, list, strError);
    if (pError != nullptr)
        *pError = strError;
    return nResult;
}

// The background colours of the rows, header row included, in file order.
std::vector<std::string> RowColors(const std::string& strFile)
{
    std::vector<std::string> colors;
    size_t nPos = 0;
    while ((nPos = strFile.find("<TR ", nPos)) != std::string::npos) {
        const size_t nColor = strFile.find("BGCOLOR=\"#", nPos);
        colors.push_back(strFile.substr(nColor + 10, 6));
        ++nPos;
    }
    return colors;
}

size_t Count(const std::string& strText, const std::string& strWhat)
{
    size_t n = 0;
    for (size_t nPos = strText.find(strWhat); nPos != std::string::npos;
         nPos = strText.find(strWhat, nPos + 1))
        ++n;
    return n;
}

// The two comment lines, read back as numbers.
std::pair<size_t, size_t> CommentNumbers(const std::string& strFile)
{
    std::smatch match;
    const std::regex head("^<!([0-9]{4,})>\n<!([0-9]{6,})>\n");
    if (!std::regex_search(strFile, match, head))
        return {0, 0};
    return {std::stoul(match[1]), std::stoul(match[2])};
}

} // namespace

TEST(HtmlListReport, NewReportByteForByte)
{
    CTempDir dir;
    const auto list = MakeList({{"Name", 150}, {"E-mail Address", 50}},
                               {{"Ann", "ann@example.com"}, {"Bob", ""}, {"Cy", "cy@x"}});
    const std::string path = dir.File("report.html");
    ASSERT_EQ(SaveHtml(path, *list), 1);
    const std::string file = CTempDir::Read(path);
    EXPECT_EQ(file, DataFile("new_report.html"));
    // The offset line points at the first body row.
    const auto [nOffset, nRows] = CommentNumbers(file);
    EXPECT_EQ(nRows, 3u);
    EXPECT_EQ(file.compare(nOffset, 10, "<TR  ALIGN"), 0);
    EXPECT_EQ(file.compare(nOffset - 8, 8, "</FONT>\n"), 0);
    EXPECT_NE(file.find("<TD WIDTH=\"75%\" BGCOLOR=\"#FFFFFF\">", nOffset), std::string::npos);
}

TEST(HtmlListReport, SavingAgainAddsRowsUnderTheOldHeader)
{
    CTempDir dir;
    const std::string path = dir.File("report.html");
    const auto list = MakeList({{"Name", 150}, {"E-mail Address", 50}},
                               {{"Ann", "ann@example.com"}, {"Bob", ""}, {"Cy", "cy@x"}});
    ASSERT_EQ(SaveHtml(path, *list), 1);
    const auto more = MakeList({{"Name", 100}, {"E-mail Address", 100}}, {{"Dee", "d@x"}});
    ASSERT_EQ(SaveHtml(path, *more), 1);
    EXPECT_EQ(CTempDir::Read(path), DataFile("added_report.html"));

    ASSERT_EQ(SaveHtml(path, *list), 1);
    const std::string file = CTempDir::Read(path);
    EXPECT_EQ(Count(file, "<TH "), 3u);
    EXPECT_EQ(Count(file, "<TABLE "), 1u);
    EXPECT_EQ(Count(file, "</HTML>"), 1u);
    EXPECT_EQ(CommentNumbers(file).second, 7u);
    EXPECT_EQ(file.substr(file.size() - 24), "</TABLE>\n</BODY>\n</HTML>");
}

TEST(HtmlListReport, EmptyListGivesOnlyTheHeaderRow)
{
    CTempDir dir;
    const std::string path = dir.File("empty.html");
    const auto list = MakeList({{"a", 10}, {"b", 10}}, {});
    ASSERT_EQ(SaveHtml(path, *list), 1);
    const std::string file = CTempDir::Read(path);
    EXPECT_EQ(file.compare(0, 18, "<!0666>\n<!000000>\n"), 0) << file.substr(0, 18);
    EXPECT_EQ(Count(file, "<TH  BGCOLOR=\"#7799CC\">"), 3u);
    EXPECT_EQ(Count(file, "<TD"), 0u);
    EXPECT_EQ(CommentNumbers(file).first + 24, file.size());
}

TEST(HtmlListReport, RowColoursAcrossSaves)
{
    const std::string W = "FFFFFF";
    const std::string G = "E7E7E7";
    const std::string H = "7799CC";
    struct CCase
    {
        std::vector<int> saves; // rows written by each save, in order
        std::vector<std::string> colors;
    };
    const CCase cases[] = {
        {{5}, {H, W, G, W, G, W}},
        // Added rows start their count at 0; the colours are exchanged when
        // the stored count is odd.
        {{0, 2}, {H, G, W}},
        {{1, 2}, {H, W, W, G}},
        {{2, 2}, {H, W, G, G, W}},
        {{3, 1, 1}, {H, W, G, W, W, G}},
    };
    for (const CCase& c : cases) {
        CTempDir dir;
        const std::string path = dir.File("colours.html");
        for (const int nRows : c.saves) {
            std::vector<std::vector<std::string>> rows(static_cast<size_t>(nRows), {"x"});
            ASSERT_EQ(SaveHtml(path, *MakeList({{"c", 10}}, rows)), 1);
        }
        EXPECT_EQ(RowColors(CTempDir::Read(path)), c.colors) << c.saves.size();
    }
}

TEST(HtmlListReport, WidthsFromThePixelWidths)
{
    struct CCase
    {
        std::vector<int> widths;
        std::vector<std::string> attributes; // of the body cells, last one included
    };
    const CCase cases[] = {
        {{150, 50}, {"WIDTH=\"75%\"", "WIDTH=\"25%\"", ""}},
        {{10, 10, 10}, {"WIDTH=\"33%\"", "WIDTH=\"33%\"", "WIDTH=\"33%\"", ""}},
        {{1, 0, 2}, {"WIDTH=\"33%\"", "WIDTH=\"0%\"", "WIDTH=\"66%\"", ""}},
        {{0, 0}, {"", "", ""}},
        {{}, {""}},
    };
    for (const CCase& c : cases) {
        CTempDir dir;
        std::vector<CColumnDef> columns;
        for (const int nWidth : c.widths)
            columns.push_back({"c", nWidth});
        const auto list = MakeList(columns, {{"v"}});
        ASSERT_EQ(SaveHtml(dir.File("w.html"), *list), 1);
        const std::string file = CTempDir::Read(dir.File("w.html"));
        std::vector<std::string> attributes;
        size_t nPos = file.find("<TD");
        while (nPos != std::string::npos) {
            const size_t nStart = nPos + 4;
            attributes.push_back(file.substr(nStart, file.find(" BGCOLOR", nStart) - nStart));
            nPos = file.find("<TD", nPos + 1);
        }
        EXPECT_EQ(attributes, c.attributes) << c.widths.size();
        // The header row never carries widths.
        EXPECT_EQ(Count(file, "<TH W"), 0u);
    }
}

TEST(HtmlListReport, MarkupInTextsIsEscaped)
{
    CTempDir dir;
    const auto list = MakeList({{"a<b & \"c\"", 10}, {"it's 100% plain", 10}},
                               {{"<script>alert(\"x\")</script>", "Tom & Jerry > Spike"},
                                {"caf\xC3\xA9 'quoted' 50%", "\\n\t{}"}});
    ASSERT_EQ(SaveHtml(dir.File("e.html"), *list), 1);
    const std::string file = CTempDir::Read(dir.File("e.html"));
    EXPECT_EQ(file.find("<script"), std::string::npos);
    EXPECT_NE(file.find(">&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;</FONT>"),
              std::string::npos);
    EXPECT_NE(file.find(">Tom &amp; Jerry &gt; Spike</FONT>"), std::string::npos);
    EXPECT_NE(file.find(">a&lt;b &amp; &quot;c&quot;</FONT>"), std::string::npos);
    // Anything else is written as it stands.
    EXPECT_NE(file.find(">it's 100% plain</FONT>"), std::string::npos);
    EXPECT_NE(file.find(">caf\xC3\xA9 'quoted' 50%</FONT>"), std::string::npos);
    EXPECT_NE(file.find(">\\n\t{}</FONT>"), std::string::npos);
}

TEST(HtmlListReport, HeaderTextsAreCutTo255Bytes)
{
    CTempDir dir;
    const auto list = MakeList({{std::string(300, 'h'), 10}}, {{"v"}});
    ASSERT_EQ(SaveHtml(dir.File("h.html"), *list), 1);
    const std::string file = CTempDir::Read(dir.File("h.html"));
    EXPECT_NE(file.find(">" + std::string(255, 'h') + "</FONT>"), std::string::npos);
    EXPECT_EQ(file.find(std::string(256, 'h')), std::string::npos);
}

TEST(HtmlListReport, NoRowIsDroppedPastTheMemoryCap)
{
    CTempDir dir;
    const std::string path = dir.File("big.html");
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back({"row" + std::to_string(i), std::string(40, 'x')});
    const auto list = MakeList({{"n", 10}, {"x", 10}}, rows);
    ASSERT_EQ(SaveHtml(path, *list), 1);
    ASSERT_EQ(SaveHtml(path, *list), 1);
    const std::string file = CTempDir::Read(path);
    ASSERT_GT(file.size(), 2 * CHtmlLog::kMaxRowBytes);
    EXPECT_EQ(CommentNumbers(file).second, 6000u);
    EXPECT_EQ(Count(file, "<TD "), 6000u * 3);
    // Every row, in order, twice.
    size_t nPos = CommentNumbers(file).first;
    for (int nPass = 0; nPass < 2; ++nPass) {
        for (int i = 0; i < 3000; ++i) {
            const std::string cell = ">row" + std::to_string(i) + "</FONT>";
            nPos = file.find(cell, nPos);
            ASSERT_NE(nPos, std::string::npos) << nPass << " " << i;
        }
    }
}

TEST(HtmlListReport, FilesThatCannotBeWrittenSayWhy)
{
    CTempDir dir;
    const auto list = MakeList({{"a", 10}}, {{"x"}});
    struct CCase
    {
        std::string strPath;
        std::string strReason;
    };
    std::filesystem::create_directory(dir.File("folder.html"));
    const CCase cases[] = {
        {dir.File("no/such/dir/r.html"), "No such file or directory"},
        {dir.File("folder.html"), "Is a directory"},
    };
    for (const CCase& c : cases) {
        CString strError;
        EXPECT_EQ(SaveHtml(c.strPath, *list, &strError), 0);
        EXPECT_NE(strError.find("\"" + c.strPath + "\""), CString::npos) << strError;
        EXPECT_NE(strError.find(c.strReason), CString::npos) << strError;
    }
}

TEST(HtmlListReport, OtherFilesAreLeftAlone)
{
    const std::string others[] = {
        "hello\n",
        "<!0100>\n",
        "<!0100>\nplain text\n",
        "<!01x0>\n<!000001>\n",
        "<!010>\n<!000001>\n",
        "<!0018>\r\n<!000000>\r\n",
        "<!9999>\n<!000000>\n<HTML>",
        "<html><body>a page</body></html>",
    };
    const auto list = MakeList({{"a", 10}}, {{"x"}});
    for (const std::string& bytes : others) {
        CTempDir dir;
        const std::string path = dir.Write("other.html", bytes);
        CString strError;
        EXPECT_EQ(SaveHtml(path, *list, &strError), 0) << bytes;
        EXPECT_NE(strError.find(path), CString::npos) << strError;
        EXPECT_NE(strError.find("left unchanged"), CString::npos) << strError;
        EXPECT_EQ(CTempDir::Read(path), bytes);
    }
}

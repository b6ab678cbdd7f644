#include "export/ListExporter.h"

#include "support/PinnedClock.h"
#include "framework/ListCtrl.h"
#include "framework/StringUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kHead =
    "<?xml version=\"1.0\"?>\r\n"
    "<dataroot version=\"2.5.0.0\" vendor=\"Brenlow LLC.\" "
    "url=\"https://brenlow.example?utm_source=Korvane_APP&amp;utm_medium=Korvane_APP&amp;"
    "utm_campaign=Korvane_APP\" mail=\"support@brenlow.example\" "
    "created=\"03/07/2011 14:05:09\" comments=\"Vessock Database File\">\r\n";

void Fill(CListCtrl& list, const std::vector<std::string>& titles,
          const std::vector<std::vector<std::string>>& rows)
{
    for (const std::string& strTitle : titles)
        list.InsertColumn(list.GetColumnCount(), strTitle);
    for (const std::vector<std::string>& row : rows) {
        const int nRow = list.InsertItem(list.GetItemCount(), row.empty() ? "" : row[0]);
        for (size_t i = 1; i < row.size(); ++i)
            list.SetItemText(nRow, static_cast<int>(i), row[i]);
    }
}

// The lines after the root's start tag.
std::string Body(const std::string& strText)
{
    const size_t nStart = strText.find(">\r\n", strText.find("<dataroot"));
    return nStart == std::string::npos ? strText : strText.substr(nStart + 3);
}

class ListExporterXmlTest : public ::testing::Test
{
protected:
    CPinnedClock m_clock;
    CListExporter m_exporter;
};

TEST_F(ListExporterXmlTest, TwoRows)
{
    CListCtrl list;
    Fill(list, {"Name", "Some Col"}, {{"a1", "b<1"}, {"a2", ""}});
    EXPECT_EQ(m_exporter.GetXmlText(list),
              kHead +
                  "<ListData>\r\n"
                  "<Row image=\"-1\" Name=\"a1\" Some_Col=\"b&lt;1\"/>\r\n"
                  "<Row image=\"-1\" Name=\"a2\" Some_Col=\"\"/>\r\n"
                  "</ListData>\r\n"
                  "</dataroot>\r\n");
}

TEST_F(ListExporterXmlTest, ListWithoutRows)
{
    CListCtrl list;
    Fill(list, {"Name"}, {});
    EXPECT_EQ(m_exporter.GetXmlText(list), kHead + "<ListData/>\r\n</dataroot>\r\n");
}

TEST_F(ListExporterXmlTest, RowsWithoutColumns)
{
    CListCtrl list;
    list.InsertItem(0, "");
    list.InsertItem(1, "");
    EXPECT_EQ(Body(m_exporter.GetXmlText(list)),
              "<ListData>\r\n<Row/>\r\n<Row/>\r\n</ListData>\r\n</dataroot>\r\n");
}

TEST_F(ListExporterXmlTest, RowsAreWrittenAsTheListShowsThem)
{
    CListCtrl list;
    Fill(list, {"N"}, {{"1"}, {"2"}, {"3"}});
    list.DeleteItem(1);
    EXPECT_EQ(Body(m_exporter.GetXmlText(list)),
              "<ListData>\r\n"
              "<Row image=\"-1\" N=\"1\"/>\r\n"
              "<Row image=\"-1\" N=\"3\"/>\r\n"
              "</ListData>\r\n</dataroot>\r\n");
}

TEST_F(ListExporterXmlTest, ImageIndexOfTheRow)
{
    CListCtrl list;
    list.InsertColumn(0, "N");
    list.InsertItem(0, "a", 3);
    list.InsertItem(1, "b", -7);
    EXPECT_EQ(Body(m_exporter.GetXmlText(list)),
              "<ListData>\r\n"
              "<Row image=\"3\" N=\"a\"/>\r\n"
              "<Row image=\"-1\" N=\"b\"/>\r\n"
              "</ListData>\r\n</dataroot>\r\n");
}

TEST_F(ListExporterXmlTest, TitlesThatShareANameGiveOneAttribute)
{
    struct CCase
    {
        std::vector<std::string> titles;
        std::string strRow;
    };
    const CCase kCases[] = {
        // The later column's value wins, in the place of the first.
        {{"A", "B", "A"}, "<Row image=\"-1\" A=\"z\" B=\"y\"/>"},
        {{"A B", "A_B"}, "<Row image=\"-1\" A_B=\"y\"/>"},
        // A column named image replaces the image index.
        {{"image", "B"}, "<Row image=\"x\" B=\"y\"/>"},
        // An empty title is a name of its own and leaves image alone.
        {{"", "B"}, "<Row image=\"-1\" _=\"x\" B=\"y\"/>"},
        {{" ", "\t"}, "<Row image=\"-1\" _=\"y\"/>"},
        {{"<", ">", "=\"'"}, "<Row image=\"-1\" _=\"y\" ___=\"z\"/>"},
    };
    for (const CCase& c : kCases) {
        CListCtrl list;
        Fill(list, c.titles, {{"x", "y", "z"}});
        EXPECT_EQ(Body(m_exporter.GetXmlText(list)),
                  "<ListData>\r\n" + c.strRow + "\r\n</ListData>\r\n</dataroot>\r\n")
            << c.titles[0];
    }
}

TEST_F(ListExporterXmlTest, CellsAreCutBlankedTrimmedAndEscaped)
{
    CListCtrl list;
    Fill(list, {"V"},
         {{"a\tb"},
          {" \r\n x \x01"},
          {"<&>'\""},
          {"caf\xC3\xA9\xFF"},
          {std::string(300, 'v')},
          {std::string(254, 'v') + "\xE2\x82\xAC"}});
    EXPECT_EQ(Body(m_exporter.GetXmlText(list)),
              "<ListData>\r\n"
              "<Row image=\"-1\" V=\"a b\"/>\r\n"
              "<Row image=\"-1\" V=\"x\"/>\r\n"
              "<Row image=\"-1\" V=\"&lt;&amp;&gt;&apos;&quot;\"/>\r\n"
              "<Row image=\"-1\" V=\"caf\xC3\xA9\"/>\r\n"
              "<Row image=\"-1\" V=\"" +
                  std::string(255, 'v') +
                  "\"/>\r\n"
                  "<Row image=\"-1\" V=\"" +
                  std::string(254, 'v') +
                  "\"/>\r\n"
                  "</ListData>\r\n</dataroot>\r\n");
}

// --- files ---

class ListExporterXmlFileTest : public ListExporterXmlTest
{
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/korvane-xml-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_dir = szTemplate;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // xmllint's verdict: its exit status and everything it printed.
    static std::pair<int, std::string> Lint(const fs::path& path)
    {
        const std::string strCommand = "xmllint --noout '" + path.string() + "' 2>&1";
        FILE* pipe = popen(strCommand.c_str(), "r");
        if (pipe == nullptr)
            return {-1, "cannot run xmllint"};
        std::string strOutput;
        char buffer[512];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            strOutput.append(buffer, n);
        const int nStatus = pclose(pipe);
        return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, strOutput};
    }

    fs::path m_dir;
};

TEST_F(ListExporterXmlFileTest, FileHoldsTheTextByteForByte)
{
    CListCtrl list;
    Fill(list, {"Name", "Some Col"}, {{"a1", "b<1"}, {"a2", ""}});
    const fs::path path = m_dir / "list.xml";
    CString strError;
    ASSERT_EQ(m_exporter.SaveAsXml(path.string(), list, strError), 1) << strError;
    EXPECT_EQ(ReadFile(path), m_exporter.GetXmlText(list));

    // Save As routes the format key XML here.
    const fs::path other = m_dir / "other.xml";
    ASSERT_EQ(
        m_exporter.SaveToFile(other.string(), ESaveFormat::Xml, list, "KorvaneData", strError), 1);
    EXPECT_EQ(ReadFile(other), ReadFile(path));
}

TEST_F(ListExporterXmlFileTest, FailureNamesTheFileAndKeepsWhatWasThere)
{
    CListCtrl list;
    Fill(list, {"N"}, {{"1"}});
    const fs::path missing = m_dir / "no-such-folder" / "list.xml";
    CString strError;
    EXPECT_EQ(m_exporter.SaveAsXml(missing.string(), list, strError), 0);
    EXPECT_NE(strError.find(missing.string()), std::string::npos) << strError;
    EXPECT_NE(strError.find("No such file or directory"), std::string::npos) << strError;

    // A folder in the way of the file: the folder stays as it was.
    const fs::path folder = m_dir / "taken.xml";
    fs::create_directory(folder);
    EXPECT_EQ(m_exporter.SaveAsXml(folder.string(), list, strError), 0);
    EXPECT_NE(strError.find(folder.string()), std::string::npos) << strError;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

TEST_F(ListExporterXmlFileTest, EveryAwkwardByteGivesWellFormedXml)
{
    // Titles and cells holding every byte value, in runs of 16, and texts
    // that are awkward as names or as character data.
    std::vector<std::string> titles;
    std::vector<std::string> cells;
    for (int nFirst = 0; nFirst < 256; nFirst += 16) {
        std::string strRun;
        for (int b = nFirst; b < nFirst + 16; ++b)
            strRun.push_back(static_cast<char>(b));
        titles.push_back(strRun);
        cells.push_back(strRun);
    }
    const std::vector<std::string> kAwkward = {
        "",
        " ",
        "image",
        "Image",
        "xmlns",
        "xmlns:p",
        "xml:lang",
        ":",
        "a:b:c",
        "1",
        "-",
        ".",
        "\xC2\xB7",
        "\xCC\x80",
        "\xEF\xBF\xBE",
        "\xEF\xBF\xBF",
        "\xEF\xBF\xBD",
        "\xED\xA0\x80",
        "\xF4\x90\x80\x80",
        "\xC0\xAF",
        "\xC2\x85",
        "]]>",
        "&#0;",
        "&#x1;",
        "&amp",
        "<!--",
        "-->",
        "<?x?>",
        "<![CDATA[",
        "a=\"b\"",
        "a b=c",
        "\xE2\x80\xA8",
        "\xF0\x9F\x98\x80",
        "\xEF\xBB\xBF",
        "A",
        "A",
        std::string(254, 'x') + "\xF0\x9F\x98\x80",
    };
    for (const std::string& str : kAwkward) {
        titles.push_back(str);
        cells.push_back(str);
    }
    CListCtrl list;
    Fill(list, titles, {cells, std::vector<std::string>(cells.rbegin(), cells.rend())});
    list.InsertItem(2, std::string(300, '\xFF'));

    const fs::path path = m_dir / "awkward.xml";
    CString strError;
    ASSERT_EQ(m_exporter.SaveAsXml(path.string(), list, strError), 1) << strError;
    const auto [nStatus, strOutput] = Lint(path);
    EXPECT_EQ(nStatus, 0) << strOutput;
    EXPECT_EQ(strOutput, "");
}

TEST_F(ListExporterXmlFileTest, NamesFromEveryWindows1252ByteParseWithEveryReader)
{
    // A caption of each byte as a Windows-1252 file gives it (so 0x80 is
    // the euro sign), alone and after a letter: xmllint (libxml2) and
    // Python's parser (expat), whose name rules differ, both take the file.
    std::vector<std::string> titles;
    for (int b = 0; b < 256; ++b) {
        CString strChar;
        str::AppendUtf8(strChar, str::Cp1252ToUnicode(static_cast<unsigned char>(b)));
        titles.push_back(strChar);
        titles.push_back("a" + strChar);
    }
    CListCtrl list;
    Fill(list, titles, {titles});
    const fs::path path = m_dir / "names.xml";
    CString strError;
    ASSERT_EQ(m_exporter.SaveAsXml(path.string(), list, strError), 1) << strError;
    const auto [nStatus, strOutput] = Lint(path);
    EXPECT_EQ(nStatus, 0) << strOutput;
    const std::string strPython = "/usr/bin/python3 -c 'import sys, xml.etree.ElementTree as E; "
                                  "E.parse(sys.argv[1])' '" +
        path.string() + "' 2>&1";
    if (std::system("/usr/bin/python3 -c 'import xml.etree' 2>/dev/null") != 0)
        GTEST_SKIP() << "Debian's python3 is not installed";
    EXPECT_EQ(std::system(strPython.c_str()), 0);
}

} // namespace

// Save As .xls on a machine without a matching ODBC driver: the program's
// own stand-in writes the workbook, and its users' readers must find in it
// what the tab-delimited export holds, after the value rules of the ODBC
// export. This program runs with an ODBC configuration that has no drivers.

#include "support/ListBuilder.h"
#include "support/TempDir.h"
#include "support/XlsFileTest.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "export/ListExporter.h"
#include "export/OdbcExport.h"
#include "framework/ListCtrl.h"
#include "framework/StringUtil.h"

#include <gtest/gtest.h>

namespace {

// A cell as the workbook stores it: read up to 255 bytes, made a value by
// the export's rules, its apostrophes single again after the statement.
std::string StoredValue(const std::string& strCell)
{
    CString strValue = COdbcExport::MakeValue(strCell.substr(0, 255));
    str::ReplaceAll(strValue, "''", "'");
    return strValue;
}

std::vector<std::string> Split(const std::string& strText, char chSeparator)
{
    std::vector<std::string> parts(1);
    for (const char ch : strText) {
        if (ch == chSeparator)
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    return parts;
}

std::vector<std::string> ColumnNames(const CListCtrl& list)
{
    std::vector<std::string> names;
    for (const std::string& strCaption : Split(CListExporter().GetHeaderLine(list, '\t'), '\t'))
        names.push_back(COdbcExport::MakeColumnName(str::TrimRight(strCaption)));
    return names;
}

// The expected sheet, from the tab-delimited text of a list whose cells hold
// no tab and no line break.
std::string FromTabText(const CListCtrl& list)
{
    std::vector<std::vector<std::string>> rows{ColumnNames(list)};
    const std::string strText = CListExporter().GetTabText(list);
    for (const std::string& strLine : Split(strText.substr(0, strText.size() - 1), '\n')) {
        rows.emplace_back();
        for (const std::string& strCell : Split(strLine, '\t'))
            rows.back().push_back(StoredValue(strCell));
    }
    return DumpRows(rows);
}

// The expected sheet, from the cells of the list as shown.
std::string FromCells(const CListCtrl& list)
{
    std::vector<std::vector<std::string>> rows{ColumnNames(list)};
    for (int i = 0; i < list.GetItemCount(); ++i) {
        rows.emplace_back();
        for (int j = 0; j < list.GetColumnCount(); ++j)
            rows.back().push_back(StoredValue(list.GetItemText(i, j)));
    }
    return DumpRows(rows);
}

std::unique_ptr<CListCtrl> SampleList()
{
    const std::string strDir = std::string(KORVANE_BIN_DIR) + "/Sample1/";
    CString strTemplate;
    CString strData;
    EXPECT_TRUE(CLineArray::LoadJoined(strDir + "login_to_url_template.txt", "\r\n", strTemplate));
    EXPECT_TRUE(CLineArray::LoadJoined(strDir + "login_to_url.txt", "\r\n", strData));
    auto pList = std::make_unique<CListCtrl>();
    InitResultList(*pList);
    CString strLast;
    RunParse(*pList, DefaultParseSettings(), strTemplate, strData, strLast);
    EXPECT_EQ(pList->GetItemCount(), 7);
    return pList;
}

std::unique_ptr<CListCtrl> AwkwardList()
{
    const std::string strEmoji = "\xF0\x9F\x98\x80";
    std::string strEmojis;
    for (int i = 0; i < 100; ++i)
        strEmojis += strEmoji;
    std::string strAccents;
    for (int i = 0; i < 150; ++i)
        strAccents += "\xC3\xA9";
    std::vector<std::vector<std::string>> rows = {
        {"say \"hi\"", "it's", "O''Brien", "a,b", "x\ty"},
        {"line\r\nbreak", "<&>",
         "Ren\xC3\xA9"
         "e",
         "\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD", strEmoji + " smile"},
        {"", "  padded  ", "", "back\\slash", ""},
        {"", "", "", "", ""},
        {std::string(300, 'a'), strAccents, strEmojis, "\x01\x7F", "tail"},
    };
    // Enough rows that the workbook outgrows the small streams of the file.
    for (int i = 0; i < 150; ++i)
        rows.push_back({"row " + std::to_string(i), "=1+1", "'", "-", "\xC3\xBC"});
    return MakeList({{"Name"}, {"Time"}, {"Date"}, {" Start-Date "}, {"Notes"}}, rows);
}

class XlsExport : public CXlsFileTest
{};

} // namespace

TEST_F(XlsExport, ReadersFindWhatTheTabTextHoldsAfterTheValueRules)
{
    ::setenv("TMPDIR", m_strTmp.c_str(), 1);

    const auto pSample = SampleList();
    const auto pAwkward = AwkwardList();
    const std::string strSample = m_dir.File("sample.xls");
    const std::string strAwkward = m_dir.File("awkward.xls");
    for (const auto& [strPath, pList] :
         {std::pair{strSample, pSample.get()}, std::pair{strAwkward, pAwkward.get()}}) {
        CString strError;
        ASSERT_EQ(
            CListExporter().SaveToFile(strPath, ESaveFormat::Xls, *pList, "KorvaneData", strError),
            1)
            << strError;
    }
    EXPECT_TRUE(std::filesystem::is_empty(m_strTmp));
    ::unsetenv("TMPDIR");

    const std::string strSampleSheet = FromTabText(*pSample);
    const std::string strAwkwardSheet = FromCells(*pAwkward);
    EXPECT_EQ(RunReadXls("cells", {strSample, strAwkward}),
              "file " + strSample + "\nsheet KorvaneData\n" + strSampleSheet + "file " +
                  strAwkward + "\nsheet KorvaneData\n" + strAwkwardSheet);

    if (!HaveLibreOffice())
        GTEST_SKIP() << "LibreOffice (soffice) is not available to read the files";
    const std::vector<std::string> csvFiles =
        ConvertToCsv({strSample, strAwkward}, m_dir.File("csv"));
    EXPECT_EQ(RunReadXls("csv", csvFiles),
              "file " + csvFiles[0] + "\n" + strSampleSheet + "file " + csvFiles[1] + "\n" +
                  strAwkwardSheet);
}

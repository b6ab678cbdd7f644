// The save formats: the filters of the formats after the first six in the
// save dialog, the extension a name without one gets, and the format a
// typed extension picks.
#include "export/SaveFormat.h"

#include <gtest/gtest.h>

TEST(SaveFormat, TheNewFormatsFollowTheFirstSixFilters)
{
    const CString& strFilter = SaveDialogFilter();
    const CString strFirstSix =
        "Text (Tab delimited) (*.txt)|*.txt|CSV (Comma delimited) (*.csv)|*.csv|Excel Workbook "
        "(*.xls)|*.xls|Access Database (*.mdb)|*.mdb|Web Page (*.html)|*.html|Xml Data "
        "(*.xml)|*.xml|";
    EXPECT_EQ(strFilter,
              strFirstSix +
                  "Excel Workbook 2007+ (*.xlsx)|*.xlsx|SQLite Database (*.sqlite *.db)|*.sqlite "
                  "*.db|JSON (*.json)|*.json|JSON Lines (*.jsonl)|*.jsonl||");
    // Keys name formats; the second extension of a filter does not.
    EXPECT_TRUE(IsFormatKey("SQLITE"));
    EXPECT_FALSE(IsFormatKey("DB"));
}

TEST(SaveFormat, ChoiceByTypedExtensionOrFilter)
{
    struct CCase
    {
        const char* pszTyped;
        int nFilter;
        const char* pszPath;
        ESaveFormat format;
    };
    const CCase cases[] = {
        {"/d/report", 5, "/d/report.html", ESaveFormat::Html},
        {"/d/report.htm", 5, "/d/report.htm", ESaveFormat::Txt},
        {"/d/a.csv", 1, "/d/a.csv", ESaveFormat::Csv},
        {"/d/Data.Xls", 1, "/d/Data.Xls", ESaveFormat::Xls},
        {"/d/x", 1, "/d/x.txt", ESaveFormat::Txt},
        {"/d/x", 2, "/d/x.csv", ESaveFormat::Csv},
        {"/d/x", 3, "/d/x.xls", ESaveFormat::Xls},
        {"/d/x", 4, "/d/x.mdb", ESaveFormat::Mdb},
        {"/d/x", 6, "/d/x.xml", ESaveFormat::Xml},
        {"/d/x.TEXT", 2, "/d/x.TEXT", ESaveFormat::Txt},
        // A dot in a folder name is not an extension.
        {"/d/v1.2/x", 2, "/d/v1.2/x.csv", ESaveFormat::Csv},
        {"/d/x", 7, "/d/x.xlsx", ESaveFormat::Xlsx},
        {"/d/x", 8, "/d/x.sqlite", ESaveFormat::Sqlite},
        {"/d/x", 9, "/d/x.json", ESaveFormat::Json},
        {"/d/x", 10, "/d/x.jsonl", ESaveFormat::Jsonl},
        {"/d/x", 11, "/d/x.xml", ESaveFormat::Xml},
        {"/d/x.DB", 1, "/d/x.DB", ESaveFormat::Sqlite},
        {"/d/x.Sqlite", 1, "/d/x.Sqlite", ESaveFormat::Sqlite},
        {"/d/x.XLSX", 8, "/d/x.XLSX", ESaveFormat::Xlsx},
        {"/d/x.jsonl", 9, "/d/x.jsonl", ESaveFormat::Jsonl},
        {"/d/x.ndjson", 10, "/d/x.ndjson", ESaveFormat::Txt},
        {"/d/x.sqlite3", 8, "/d/x.sqlite3", ESaveFormat::Txt},
    };
    for (const CCase& c : cases) {
        CString strPath = c.pszTyped;
        EXPECT_EQ(ChooseSaveFormat(strPath, c.nFilter), c.format) << c.pszTyped;
        EXPECT_EQ(strPath, c.pszPath);
    }
}

// The formats after the first six: their filters in the save dialog, the
// extension a name without one gets, and the format a typed extension picks.
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

    struct CCase
    {
        const char* pszTyped;
        int nFilter;
        const char* pszPath;
        ESaveFormat format;
    };
    const CCase cases[] = {
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
    // Keys name formats; the second extension of a filter does not.
    EXPECT_TRUE(IsFormatKey("SQLITE"));
    EXPECT_FALSE(IsFormatKey("DB"));
}
